// The preview dialog, the player window and the preview command on Qt's
// offscreen platform, driven through their controls.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>

#include "dialogs/player_window.h"
#include "dialogs/preview_dialogs.h"
#include "dialogs/preview_parts_dialog.h"
#include "files/midi_export.h"
#include "score/onpu.h"
#include "score/part_list.h"
#include "sound/recording_midi_output.h"
#include "support/scripted_questions.h"

namespace kelvara::testing {
namespace {

using Kind = RecordingMidiOutput::Event::Kind;

template <typename Predicate>
bool waitFor(Predicate p, int ms = 5000) {
  for (int i = 0; i < ms / 5 && !p(); ++i) QTest::qWait(5);
  return p();
}

// Runs `work` on the modal dialog of type D once it shows.
template <typename D>
void whenShown(const std::function<void(D&)>& work) {
  QTimer::singleShot(0, [work] {
    D* d = nullptr;
    ASSERT_TRUE(waitFor([&] {
      d = qobject_cast<D*>(QApplication::activeModalWidget());
      return d != nullptr;
    }));
    work(*d);
  });
}

// Clicks a radio button on its mark.
void choose(QRadioButton* b) {
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

void type(QLineEdit* box, const QString& text) {
  box->selectAll();
  QTest::keyClicks(box, text);
}

class Preview : public ::testing::Test {
 protected:
  Preview() {
    s.createLists();
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kelvara-preview-XXXXXX").string();
    dir = ::mkdtemp(pattern.data());
    file.path = (dir / "tt.mid").string();
    // Bar 1: four quarter notes; bar 2: a whole note; at 120, two seconds a bar.
    for (int32_t pitch : {60, 62, 64, 65}) add(pitch, 16, 0);
    add(67, 64, 0);
    add(36, 64, kPercussionPart);
    add(38, 64, kPercussionPart);
    for (int p = 0; p < kPartCount; ++p) s.PartProgram[p] = p == kPercussionPart ? 0 : 20 + p;
    s.PartSelected.fill(0);
    s.PartSelected[0] = s.PartSelected[kPercussionPart] = 1;
  }
  ~Preview() override { std::filesystem::remove_all(dir); }

  void add(int32_t pitch, int32_t length, int part) {
    linkBefore(endMarkerOf(s.PartHead[part]), makeRecord(pitch, length, 1));
  }

  void writeFile() { ASSERT_TRUE(savedataplus3(s, file.path).ok()); }

  size_t count(Kind kind) const {
    size_t n = 0;
    for (const auto& e : midi.events()) n += e.kind == kind;
    return n;
  }

  EditorState s;
  RecordingMidiOutput midi{2};
  ScriptedQuestions questions;
  std::filesystem::path dir;
  PreviewFile file;
};

TEST_F(Preview, DialogTicksPartsAndSwitchesTheBarBoxes) {
  TForm6 d(nullptr, &questions);
  PerPart<uint8_t> selected{};
  selected[kPercussionPart] = 1;
  selected[10] = 1;
  d.load(selected);
  EXPECT_EQ(d.findChild<QCheckBox*>("CheckBox11")->text(), "パーカッション");
  EXPECT_TRUE(d.findChild<QCheckBox*>("CheckBox11")->isChecked());
  EXPECT_TRUE(d.findChild<QCheckBox*>("CheckBox10")->isChecked());
  EXPECT_FALSE(d.findChild<QCheckBox*>("CheckBox9")->isChecked());
  d.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
  d.findChild<QCheckBox*>("CheckBox11")->setChecked(false);
  PerPart<uint8_t> expected{};
  expected[0] = expected[10] = 1;
  EXPECT_EQ(d.selectedParts(), expected);

  // "すべて" at start: boxes disabled in the button colour; "一部": white.
  EXPECT_TRUE(d.RadioButton1->isChecked());
  EXPECT_FALSE(d.Edit12->isEnabled());
  EXPECT_EQ(d.Edit12->text(), "1");
  const QColor button = d.palette().color(QPalette::Button);
  EXPECT_EQ(d.Edit13->palette().color(QPalette::Disabled, QPalette::Base), button);
  d.show();
  choose(d.RadioButton2);
  EXPECT_TRUE(d.Edit12->isEnabled());
  EXPECT_TRUE(d.Edit13->isEnabled());
  EXPECT_EQ(d.Edit12->palette().color(QPalette::Active, QPalette::Base), QColor(Qt::white));
  choose(d.RadioButton1);
  EXPECT_FALSE(d.Edit13->isEnabled());
}

TEST_F(Preview, DialogRefusesBadBarsAndStaysOpen) {
  TForm6 d(nullptr, &questions);
  d.show();
  choose(d.RadioButton2);
  type(d.Edit12, "x");
  QTest::mouseClick(d.OkButton, Qt::LeftButton);
  EXPECT_TRUE(d.isVisible());
  ASSERT_EQ(questions.errors.size(), 1u);
  EXPECT_EQ(questions.errors[0], "'x' は整数ではありません");

  type(d.Edit12, "5");
  type(d.Edit13, "2");
  QTest::mouseClick(d.OkButton, Qt::LeftButton);
  EXPECT_TRUE(d.isVisible());
  ASSERT_EQ(questions.errors.size(), 2u);
  EXPECT_NE(questions.errors[1].find("(5)"), std::string::npos) << questions.errors[1];

  type(d.Edit12, " 2");
  type(d.Edit13, "3 ");
  QTest::mouseClick(d.OkButton, Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.range().fromBar, 2);
  EXPECT_EQ(d.range().toBar, 3);
}

TEST(PreviewRange, AllIgnoresTheDisabledBoxes) {
  // Text left in the disabled boxes does not stop "すべて".
  const PreviewRangeCheck all = checkPreviewRange(true, "abc", "");
  EXPECT_TRUE(all.ok());
  EXPECT_EQ(all.range.toBar, -1);
  EXPECT_EQ(checkPreviewRange(false, "1", "").badBox, 2);
  EXPECT_EQ(checkPreviewRange(false, "0", "3").badBox, 1);
  EXPECT_EQ(checkPreviewRange(false, "99999999999", "3").badBox, 1);
  EXPECT_EQ(checkPreviewRange(false, "1.5", "3").error, "'1.5' は整数ではありません");
  EXPECT_TRUE(checkPreviewRange(false, "+4", "4").ok());
}

TEST_F(Preview, PlayerPlaysAndCancelEndsEveryNoteAndLetsTheOutputGo) {
  writeFile();
  TForm4 w(midi, 1, file.path, 1);
  w.show();
  ASSERT_TRUE(waitFor([&] { return w.ready(); }));
  EXPECT_EQ(midi.events().front(), (RecordingMidiOutput::Event{Kind::Open, 1, 0}));
  EXPECT_EQ(w.windowTitle(), "試聴");
  EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(w.BarLabel->text(), "小節 1 / 2");
  EXPECT_EQ(w.TimeLabel->text(), "0:00.0 / 0:04.0");

  QTest::mouseClick(w.PlayButton, Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return w.status().positionMicros > 600000; }));
  // Coming back to the window does not start it again.
  w.FormActivate();
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&w, &activate);
  EXPECT_EQ(w.status().state, PlayState::Playing);
  EXPECT_GT(w.status().positionMicros, 600000);
  EXPECT_EQ(count(Kind::Open), 1u);

  QTest::mouseClick(w.Button1, Qt::LeftButton);
  EXPECT_FALSE(w.isVisible());
  const auto& events = midi.events();
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events.back().kind, Kind::Close);
  // D4 (the second quarter) and the bass drum were sounding.
  const std::vector<uint32_t> all = midi.messages();
  const std::vector<uint32_t> tail(all.end() - 6, all.end());
  EXPECT_EQ(tail,
            (std::vector<uint32_t>{0x3E80u, 0x2489u, 0x7BB0u, 0x4000E0u, 0x7BB9u, 0x4000E9u}));
}

TEST_F(Preview, PlayerButtonsStepBackPauseAndStop) {
  writeFile();
  TForm4 w(midi, 0, file.path, 3);
  w.show();
  ASSERT_TRUE(waitFor([&] { return w.ready(); }));
  EXPECT_EQ(w.BarLabel->text(), "小節 3 / 4");  // numbered as in the score
  EXPECT_FALSE(w.PauseButton->isEnabled());
  QTest::mouseClick(w.StepButton, Qt::LeftButton);
  EXPECT_EQ(w.status().positionMicros, 2000000);
  EXPECT_EQ(w.BarLabel->text(), "小節 4 / 4");
  EXPECT_FALSE(w.StepButton->isEnabled());
  QTest::mouseClick(w.PlayButton, Qt::LeftButton);
  EXPECT_TRUE(w.PauseButton->isEnabled());
  ASSERT_TRUE(waitFor([&] { return w.status().positionMicros > 2600000; }));
  QTest::mouseClick(w.PauseButton, Qt::LeftButton);
  EXPECT_EQ(w.status().state, PlayState::Paused);
  // Well into bar 4: back to its start, then to bar 3.
  QTest::mouseClick(w.BackButton, Qt::LeftButton);
  EXPECT_EQ(w.status().positionMicros, 2000000);
  QTest::mouseClick(w.BackButton, Qt::LeftButton);
  EXPECT_EQ(w.status().positionMicros, 0);
  QTest::mouseClick(w.StopButton, Qt::LeftButton);
  EXPECT_EQ(w.status().state, PlayState::Stopped);
  // Escape closes it like Cancel.
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(midi.events().back().kind, Kind::Close);
}

TEST_F(Preview, PlayerSaysWhatIsWrongWithItsFile) {
  TForm4 w(midi, 0, (dir / "none.mid").string(), 1);
  w.show();
  ASSERT_TRUE(waitFor([&] { return w.MessageLabel->isVisible(); }));
  EXPECT_NE(w.MessageLabel->text().indexOf("none.mid"), -1);
  EXPECT_FALSE(w.PlayButton->isEnabled());
  QTest::mouseClick(w.Button1, Qt::LeftButton);
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(midi.events().empty());  // the output was never taken
}

TEST_F(Preview, CommandWritesTheChosenPartsPlaysAndGivesTheVoicesBack) {
  s.MidiDevice = 1;
  s.PartSelected.fill(0);
  s.PartSelected[3] = 1;
  bool played = false;
  whenShown<TForm6>([&](TForm6& d) {
    EXPECT_TRUE(d.partBox(3)->isChecked());
    d.partBox(3)->setChecked(false);
    d.partBox(kPercussionPart)->setChecked(true);
    choose(d.RadioButton2);
    type(d.Edit12, "2");
    type(d.Edit13, "2");
    whenShown<TForm4>([&](TForm4& w) {
      ASSERT_TRUE(waitFor([&] { return w.ready(); }));
      // Bar 2 of the percussion part alone: one bar, numbered 2.
      EXPECT_EQ(w.BarLabel->text(), "小節 2 / 2");
      QTest::mouseClick(w.PlayButton, Qt::LeftButton);
      played = waitFor([&] { return w.status().positionMicros > 100000; });
      QTest::mouseClick(w.Button1, Qt::LeftButton);
    });
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
  });
  midi.midiOutOpen(1);  // the editor's output, open as in editing
  midi.clear();
  EXPECT_TRUE(runPreviewCommand(nullptr, s, midi, questions, file));
  EXPECT_TRUE(played);
  PerPart<uint8_t> expected{};
  expected[kPercussionPart] = 1;
  EXPECT_EQ(s.PartSelected, expected);

  const auto& e = midi.events();
  ASSERT_GE(e.size(), 14u);
  EXPECT_EQ(e[0].kind, Kind::Close);                                // the editor lets the output go
  EXPECT_EQ(e[1], (RecordingMidiOutput::Event{Kind::Open, 1, 0}));  // the player takes it
  // Only the percussion channel plays.
  for (size_t i = 2; i + 12 < e.size(); ++i) EXPECT_EQ(e[i].message & 0x0Fu, 9u) << i;
  // The player closes; the editor opens the device and sends the voices of
  // channels 0..8 and 10.
  const size_t last = e.size() - 12;
  EXPECT_EQ(e[last].kind, Kind::Close);
  EXPECT_EQ(e[last + 1], (RecordingMidiOutput::Event{Kind::Open, 1, 0}));
  std::vector<uint32_t> programs;
  for (size_t i = last + 2; i < e.size(); ++i) programs.push_back(e[i].message);
  std::vector<uint32_t> want;
  for (uint32_t ch : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 10u}) {
    want.push_back(packShortMessage(0xC0u + ch, 20 + ch, 0));
  }
  EXPECT_EQ(programs, want);
}

TEST_F(Preview, CancelChangesNothingAndAnUnwritableFileKeepsTheOutput) {
  const PerPart<uint8_t> before = s.PartSelected;
  whenShown<TForm6>([](TForm6& d) {
    d.partBox(0)->setChecked(false);
    QTest::mouseClick(d.CancelButton, Qt::LeftButton);
  });
  EXPECT_FALSE(runPreviewCommand(nullptr, s, midi, questions, file));
  EXPECT_EQ(s.PartSelected, before);
  EXPECT_TRUE(midi.events().empty());
  EXPECT_FALSE(std::filesystem::exists(file.path));

  PreviewFile nowhere{(dir / "gone" / "tt.mid").string(), ""};
  whenShown<TForm6>([](TForm6& d) { QTest::mouseClick(d.OkButton, Qt::LeftButton); });
  EXPECT_FALSE(runPreviewCommand(nullptr, s, midi, questions, nowhere));
  ASSERT_EQ(questions.errors.size(), 1u);
  EXPECT_NE(questions.errors[0].find("gone"), std::string::npos);
  EXPECT_TRUE(midi.events().empty());
}

TEST(PreviewFilePath, IsTheUsersOwnFolder) {
  const PreviewFile f = previewFilePath();
  ASSERT_TRUE(f.error.empty()) << f.error;
  const std::filesystem::path p(f.path);
  EXPECT_EQ(p.filename(), "tt.mid");
  const auto perms = std::filesystem::status(p.parent_path()).permissions();
  EXPECT_EQ(perms & std::filesystem::perms::group_all, std::filesystem::perms::none);
  EXPECT_EQ(perms & std::filesystem::perms::others_all, std::filesystem::perms::none);
}

}  // namespace
}  // namespace kelvara::testing
