// The interface in Japanese with Qt's own texts in Japanese too, or wholly
// in English on request.
#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTranslator>
#include <fstream>
#include <functional>

#include "app/interface_language.h"
#include "app/score_commands.h"
#include "app/window_settings.h"
#include "dialogs/credit_dialog.h"
#include "dialogs/length_dialog.h"
#include "dialogs/output_layout_dialog.h"
#include "dialogs/output_parts_dialog.h"
#include "dialogs/part_choice_dialog.h"
#include "dialogs/preview_parts_dialog.h"
#include "dialogs/save_parts_dialog.h"
#include "dialogs/score_settings_dialog.h"
#include "dialogs/sound_dialog.h"
#include "dialogs/tail_dialog.h"
#include "dialogs/velocity_dialog.h"
#include "editor/settings_file.h"
#include "files/atomic_write.h"
#include "files/import_report.h"
#include "files/musicxml_import.h"
#include "files/score_file.h"
#include "render/glyph_outlines.h"
#include "render/glyph_table.h"
#include "render/jpeg_codec.h"
#include "score/modifiers.h"
#include "score/ui_text.h"
#include "sound/midi_song.h"
#include "sound/null_midi_output.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

// Japanese script and punctuation ("、", "「」"); the wide space alone is
// layout, as in the octave label.
bool hasJapanese(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x3001 && u <= 0x30ff) || (u >= 0x4e00 && u <= 0x9fff) ||
        (u >= 0xff01 && u <= 0xff60)) {
      return true;
    }
  }
  return false;
}

// Every text a user reads on the controls of `top` and of the windows it
// holds, with the name of the control that shows it.
std::vector<std::pair<QString, QString>> textsOf(const QWidget& top) {
  std::vector<std::pair<QString, QString>> texts;
  auto add = [&](const QObject* o, const QString& text) {
    texts.emplace_back(o->objectName(), text);
  };
  for (const QWidget* w : top.findChildren<QWidget*>()) {
    if (w->window() != &top) continue;
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) add(b, b->text());
    if (auto* l = qobject_cast<const QLabel*>(w)) add(l, l->text());
    if (auto* g = qobject_cast<const QGroupBox*>(w)) add(g, g->title());
    if (auto* t = qobject_cast<const QTabWidget*>(w)) {
      for (int i = 0; i < t->count(); ++i) add(t, t->tabText(i));
    }
    if (auto* c = qobject_cast<const QComboBox*>(w)) {
      for (int i = 0; i < c->count(); ++i) add(c, c->itemText(i));
    }
    for (const QAction* a : w->actions()) add(a, a->text());
  }
  for (const QAction* a : top.findChildren<QAction*>()) add(a, a->text());
  return texts;
}

class Language : public WindowTest {
 protected:
  void SetUp() override {}
  ~Language() override {
    window.reset();
    if (texts_.translator != nullptr) QCoreApplication::removeTranslator(texts_.translator);
    delete texts_.translator;
  }
  void openIn(const char* language) {
    texts_ = installTranslations(*qApp, QString::fromLatin1(language), KELVARA_QM_DIR);
    ASSERT_EQ(texts_.problem, "");
    ASSERT_NO_FATAL_FAILURE(open());
  }
  InstalledTexts texts_;
};

TEST_F(Language, EnglishLeavesNoJapaneseOnTheWindowOrItsDialogs) {
  ASSERT_NO_FATAL_FAILURE(openIn("en"));
  EXPECT_EQ(child<QAbstractButton>("BitBtn5")->text(), "Save");
  EXPECT_EQ(child<QComboBox>("ComboBox1")->itemText(0), "Part 1");
  TForm3 settings(window.get());
  TForm6 preview(window.get());
  TForm9 length(window.get());
  TForm10 velocity(window.get());
  TForm11 tail(window.get());
  TForm12 layout(window.get());
  TForm13 parts(window.get());
  NullMidiOutput noDevice;  // the sound dialog's "no device" entry
  TForm2 sound(noDevice, window.get());
  TForm7 saveParts(window.get());
  TForm8 savePart(window.get());
  const std::vector<const QWidget*> tops = {window.get(), &window->scoreCommands().creditDialog(),
                                            &settings,    &preview,
                                            &length,      &velocity,
                                            &tail,        &layout,
                                            &parts,       &sound,
                                            &saveParts,   &savePart};
  for (const QWidget* top : tops) {
    EXPECT_FALSE(hasJapanese(top->windowTitle())) << top->windowTitle().toStdString();
    for (const auto& [name, text] : textsOf(*top)) {
      if (name == "LanguageBox") continue;  // each language in its own words
      EXPECT_FALSE(hasJapanese(text)) << name.toStdString() << ": " << text.toStdString();
    }
  }
}

TEST_F(Language, TheEnginesMessagesFollowTheInterface) {
  ASSERT_NO_FATAL_FAILURE(openIn("en"));
  EXPECT_EQ(
      readSettingsFile("/nowhere/klv.ini", 0, true).notice,
      "The settings file /nowhere/klv.ini was not found; starting with the default settings.");
  window.reset();
  QCoreApplication::removeTranslator(texts_.translator);
  EXPECT_EQ(readSettingsFile("/nowhere/klv.ini", 0, true).notice,
            "設定ファイル /nowhere/klv.ini が見つからないため、既定の設定で起動します。");
}

// The engine's errors and notices, each from a broken file, a refused value
// or a missing folder, as the English interface shows them.
TEST_F(Language, TheEnginesFileSoundAndDrawingMessagesLeaveNoJapanese) {
  ASSERT_NO_FATAL_FAILURE(openIn("en"));
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kelvara-english-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder / "dir.zqf3");
  const auto file = [&](const std::string& name, const std::string& bytes) {
    std::ofstream((folder / name).string(), std::ios::binary) << bytes;
    return (folder / name).string();
  };
  const auto load = [&](const std::string& path) {
    EditorState s;
    s.createLists();
    const LoadResult r = loadScoreFile(s, path, 0);
    return r.message + r.notice;
  };
  const auto xml = [](const std::string& text) {
    EditorState s;
    s.createLists();
    const LoadResult r = decodeMusicXml(s, text, "x.musicxml");
    return r.message + r.notice;
  };
  using namespace std::string_literals;
  const std::string header = "MThd\0\0\0\6\0\1\0\1\3\xc0"s;
  ImportReport report;
  report.timeReplaced = "5/4";
  report.timeUsed = "4/4";
  report.pickupFilled = report.voicesMerged = report.notesRounded = report.unmatchedNoteOffs = 1;
  report.tempoClamped = true;
  TailForm tail;
  tail.kind = TailKind::Vibrato;
  tail.vibratoDelay = "x";
  const std::pair<const char*, std::function<std::string()>> cases[] = {
      {"a score file with a key out of range",
       [&] { return load(file("key.zqf3", "\x20\0\4\4\x78\0\0"s)); }},
      {"a score file cut short", [&] { return load(file("short.zqf3", "\x07")); }},
      {"a folder", [&] { return load((folder / "dir.zqf3").string()); }},
      {"a track file that is no MIDI file", [&] { return load(file("x.zqf2", "text")); }},
      {"a track file with a foreign event",
       [&] { return load(file("y.zqf2", header + "MTrk\0\0\0\4\0\xb0\7\0"s)); }},
      {"a MIDI file with a chunk too long",
       [&] { return load(file("z.mid", header + "MTrk\0\1\0\0"s)); }},
      {"broken XML", [&] { return xml("<score-partwise><part-list>"); }},
      {"XML that is no score", [&] { return xml("<html/>"); }},
      {"MusicXML with what the score cannot hold",
       [&] {
         return xml(
             "<score-partwise><part-list><score-part id='A'/></part-list><part id='A'>"
             "<measure><attributes><divisions>1</divisions><time><beats>5</beats>"
             "<beat-type>4</beat-type></time></attributes><note><pitch><step>C</step>"
             "<octave>4</octave></pitch><duration>1</duration><lyric/></note>"
             "<note><grace/><pitch><step>D</step><octave>4</octave></pitch></note>"
             "</measure></part></score-partwise>");
       }},
      {"a write over a folder",
       [&] { return writeFileAtomically((folder / "dir.zqf3").string(), {}); }},
      {"a write into a missing folder",
       [&] { return writeFileAtomically((folder / "none" / "x").string(), {}); }},
      {"a settings file below a file",
       [&] { return writeSettingsFile(file("plain", "") + "/sub/klv.ini", Settings{}); }},
      {"an import's approximations", [&] { return report.text("x.mid"); }},
      {"a preview that is no MIDI file",
       [&] { return readMidiSong(std::vector<uint8_t>(20, 'x'), "tt.mid").error; }},
      {"a refused vibrato", [&] { return std::get<FormError>(readTailForm(tail)).message; }},
      {"a glyph folder without pictures",
       [&] { return GlyphTable().load((folder / "dir.zqf3").string()); }},
      {"a glyph folder without outlines",
       [&] { return GlyphOutlines().load((folder / "dir.zqf3").string()); }},
      {"a missing JPEG",
       [&] {
         QImage image;
         return decodeJpeg((folder / "none.jpg").string(), image);
       }},
  };
  for (const auto& [what, message] : cases) {
    const QString text = QString::fromStdString(message());
    EXPECT_FALSE(text.isEmpty()) << what;
    EXPECT_FALSE(hasJapanese(text)) << what << ": " << text.toStdString();
  }
  std::filesystem::remove_all(folder);
}

// Each place is filled once: a file name holding "%1" stays as it is.
TEST(UiText, FillsEachPlaceOnce) {
  EXPECT_EQ(fillText("%2 の %1 (%3)", {"a%2.zqf3", "b"}), "b の a%2.zqf3 (%3)");
}

TEST_F(Language, JapaneseKeepsTheProgramsTextsAndGivesQtsDialogsJapanese) {
  ASSERT_NO_FATAL_FAILURE(openIn("ja"));
  EXPECT_EQ(child<QAbstractButton>("BitBtn5")->text(), "保存");
  EXPECT_EQ(child<QComboBox>("ComboBox1")->itemText(0), " 1パート");
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "キャンセル");
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), "ファイル名(&N):");
}

TEST_F(Language, TheCreditDialogsChoiceIsKeptForTheNextStartAndTheCommandLineWins) {
  ASSERT_NO_FATAL_FAILURE(open());
  auto* box = window->scoreCommands().creditDialog().findChild<QComboBox*>("LanguageBox");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->currentData().toString(), "ja");
  box->setCurrentIndex(box->findData(QStringLiteral("en")));
  const QString kept = readWindowSettings(windowSettingsPath(settingsPath())).language;
  EXPECT_EQ(kept, "en");
  EXPECT_EQ(chooseInterfaceLanguage("", kept), "en");
  EXPECT_EQ(chooseInterfaceLanguage("ja", kept), "ja");
  EXPECT_EQ(chooseInterfaceLanguage("", ""), "ja") << "Japanese unless chosen";
}

// The file beside the settings file is read as hostile: what is not ours
// leaves the window at its smallest size and the interface Japanese.
TEST(WindowSettingsFile, KeepsWhatIsOursAndIgnoresWhatIsNot) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kelvara-window-file-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = windowSettingsPath((folder / "klv.ini").string());
  EXPECT_EQ(std::filesystem::path(path).filename(), "klv-window.ini");
  ASSERT_TRUE(writeWindowSettings(path, {QByteArray("geometry"), QStringLiteral("en")}));
  EXPECT_EQ(readWindowSettings(path).geometry, "geometry");
  EXPECT_EQ(readWindowSettings(path).language, "en");
  const std::pair<const char*, std::string> foreign[] = {
      {"an unknown language", "[interface]\nlanguage=de\n"},
      {"an oversized file", "[interface]\nlanguage=en\n" + std::string(70000, '#')},
  };
  for (const auto& [what, content] : foreign) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    EXPECT_EQ(readWindowSettings(path).language, "") << what;
  }
  EXPECT_FALSE(writeWindowSettings(path, {{}, QStringLiteral("ja")})) << "not ours: left alone";
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kelvara::testing
