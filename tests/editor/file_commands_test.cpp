// The save, load, overwrite and new-score commands, driven through their
// dialogs with scripted answers on a headless editor.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "editor/editor.h"
#include "editor/file_commands.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "input/headless_controls.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "sound/recording_midi_output.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_questions.h"

namespace kelvara {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedDialogs;
using testing::ScriptedQuestions;
using Event = RecordingMidiOutput::Event;

PerPart<uint8_t> only(std::initializer_list<int> parts) {
  PerPart<uint8_t> flags{};
  for (int p : parts) flags[p] = 1;
  return flags;
}

std::vector<uint8_t> bytesOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FileCommandsTest : public ::testing::Test {
 protected:
  FileCommandsTest() : midi(2), editor(view, controls, midi, questions), files(editor, dialogs) {
    folder = fs::temp_directory_path() /
             ("kelvara-files-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  ~FileCommandsTest() override { fs::remove_all(folder); }

  void SetUp() override {
    ASSERT_EQ(editor.FormCreate({"", false, SOURCE_DIR "/onpu"}), "");
    midi.clear();
  }

  EditorState& s() { return editor.state(); }
  std::string path(const std::string& name) const { return (folder / name).string(); }

  // Types notes into the work part as the keyboard does: each entered and moved past.
  void type(std::initializer_list<int32_t> pitches, int32_t length = 8) {
    for (int32_t pitch : pitches) {
      editor.score().InsertOnpu(pitch, length);
      editor.score().refreshAfterInput();
      editor.score().rightshift();
    }
  }
  void typeInto(int part, std::initializer_list<int32_t> pitches) {
    editor.score().selectWorkPart(listItemForPart(part));
    type(pitches);
  }
  std::vector<int32_t> pitches(int part = 0) {
    std::vector<int32_t> out;
    for (TOnpu* r = firstRecordOf(s().PartHead[part]); !isEndMarker(*r); r = r->Next) {
      out.push_back(r->Pitch[0]);
    }
    return out;
  }
  // The whole score as the whole-score file holds it, every part included.
  std::vector<uint8_t> snapshot() {
    const PerPart<uint8_t> selected = s().PartSelected;
    s().PartSelected.fill(1);
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(encodeZqf3(s(), 0, -1, "snapshot", bytes).ok());
    s().PartSelected = selected;
    return bytes;
  }
  // Saves the whole score as `name` through the save command.
  void saveAs(const std::string& name, int filter = kFilterZqf3) {
    dialogs.form7.push_back(ScriptedDialogs::allParts());
    dialogs.save.push_back(SaveDialogAnswer{path(name), filter});
    ASSERT_TRUE(files.BitBtn5Click());
  }
  void load(const std::string& name, int intoItem = -1) {
    dialogs.open.push_back(path(name));
    if (intoItem >= 0) dialogs.form8.push_back(intoItem);
    files.BitBtn7Click();
  }

  HeadlessScoreView view;
  HeadlessControls controls;
  RecordingMidiOutput midi;
  ScriptedQuestions questions;
  ScriptedDialogs dialogs;
  Editor editor;
  FileCommands files;
  fs::path folder;
};

using SaveCommand = FileCommandsTest;
using LoadCommand = FileCommandsTest;
using NewScore = FileCommandsTest;
using UnsavedChanges = FileCommandsTest;

TEST_F(SaveCommand, ShowsTForm7FromPartSelectedAndKeepsWhatTheUserTicked) {
  s().PartSelected = only({0, 9});
  dialogs.form7.push_back(only({1, 10}));
  dialogs.save.push_back(std::nullopt);  // then cancels the file dialog
  EXPECT_FALSE(files.BitBtn5Click());
  ASSERT_EQ(dialogs.shownTForm7.size(), 1u);
  EXPECT_EQ(dialogs.shownTForm7[0], only({0, 9}));
  EXPECT_EQ(s().PartSelected, only({1, 10}));

  dialogs.form7.push_back(std::nullopt);  // Cancel: no file dialog at all
  EXPECT_FALSE(files.BitBtn5Click());
  EXPECT_EQ(dialogs.shownSave.size(), 1u);
  EXPECT_EQ(view.focusCount(), 2) << "both ways end on note entry";
}

TEST_F(SaveCommand, FixesAnExtensionThatDoesNotBelongToTheFilter) {
  type({60, 62});
  struct Case {
    std::string typed;
    int filter;
    std::string written;
    bool told;
  };
  const std::vector<Case> cases = {
      {"tune", kFilterMidi, "tune.mid", true},
      {"loud.MID", kFilterMidi, "loud.mid", true},  // the test is case-sensitive
      {"drums.smf", kFilterMidi, "drums.smf", false},
      {"whole.zqf2", kFilterZqf3, "whole.zqf3", true},
      {"tracks.zqf2", kFilterZqf2, "tracks.zqf2", false},
      {"my.song", kFilterZqf3, "my.zqf3", true},
      {"score", kFilterMusicXml, "score.musicxml", true},
      {"score.mxl", kFilterMusicXml, "score.mxl", false},
      {"score.xml", kFilterMusicXml, "score.xml", false},
  };
  for (const Case& c : cases) {
    questions.informed.clear();
    dialogs.form7.push_back(ScriptedDialogs::allParts());
    dialogs.save.push_back(SaveDialogAnswer{path(c.typed), c.filter});
    EXPECT_TRUE(files.BitBtn5Click()) << c.typed;
    EXPECT_TRUE(fs::exists(path(c.written))) << c.typed;
    if (c.told) {
      ASSERT_EQ(questions.informed.size(), 1u) << c.typed;
      EXPECT_EQ(questions.informed[0], "ファイルは " + c.written + " という名で保存されます。");
    } else {
      EXPECT_TRUE(questions.informed.empty()) << c.typed;
    }
  }
  EXPECT_FALSE(fs::exists(path("loud.MID")));
}

TEST_F(SaveCommand, OpensTheDialogOnTheFileNameWithItsFilter) {
  type({60});
  saveAs("a.zqf3");
  dialogs.form7.push_back(ScriptedDialogs::allParts());
  dialogs.save.push_back(std::nullopt);
  files.BitBtn5Click();
  ASSERT_EQ(dialogs.shownSave.size(), 2u);
  EXPECT_EQ(dialogs.shownSave[0].fileName, "");
  EXPECT_EQ(dialogs.shownSave[0].filterIndex, kFilterZqf3) << "the kind that keeps everything";
  EXPECT_EQ(dialogs.shownSave[1].fileName, path("a.zqf3"));
  EXPECT_EQ(dialogs.shownSave[1].filterIndex, kFilterZqf3);

  // A remembered name of no known kind keeps the filter last used.
  saveAs("a.zqf2", kFilterZqf2);
  s().FileName = path("b.txt");
  dialogs.form7.push_back(ScriptedDialogs::allParts());
  dialogs.save.push_back(std::nullopt);
  files.BitBtn5Click();
  EXPECT_EQ(dialogs.shownSave[3].filterIndex, kFilterZqf2);
}

TEST_F(SaveCommand, OnePartFileAsksWhichPartAndGivesTheTicksBack) {
  typeInto(10, {72, 74, 76});
  typeInto(2, {48});
  dialogs.form7.push_back(only({0, 2}));
  dialogs.save.push_back(SaveDialogAnswer{path("one.zqf"), kFilterZqf});
  dialogs.form8.push_back(9);  // "10パート"
  ASSERT_TRUE(files.BitBtn5Click());
  ASSERT_EQ(dialogs.shownTForm8.size(), 1u);
  EXPECT_EQ(dialogs.shownTForm8[0],
            "Zqファイルは1パートしか保存できません。 / どのパートを保存しますか？");
  EXPECT_EQ(s().PartSelected, only({0, 2}));

  EditorState back;
  back.createLists();
  ASSERT_TRUE(loaddataplus(back, path("one.zqf"), ".zqf", 4).ok());
  int count = 0;
  for (TOnpu* r = firstRecordOf(back.PartHead[4]); !isEndMarker(*r); r = r->Next) ++count;
  EXPECT_EQ(count, 3) << "part 10 was written";
  EXPECT_FALSE(dialogs.overwriteButton);
  EXPECT_EQ(s().FileName, "") << "a one-part file is not the score's file";
}

TEST_F(SaveCommand, OnePartFileWithOnlyThePercussionTickedAsksNothing) {
  typeInto(kPercussionPart, {36, 38});
  dialogs.form7.push_back(only({kPercussionPart}));
  dialogs.save.push_back(SaveDialogAnswer{path("drums.zqf"), kFilterZqf});
  ASSERT_TRUE(files.BitBtn5Click());
  EXPECT_TRUE(dialogs.shownTForm8.empty());
  EditorState back;
  back.createLists();
  ASSERT_TRUE(loaddataplus(back, path("drums.zqf"), ".zqf", 0).ok());
  EXPECT_FALSE(isPartEmpty(back.PartHead[0]));

  // Nothing ticked: the question comes, and an answer off the list still
  // names a part (the first).
  dialogs.form7.push_back(PerPart<uint8_t>{});
  dialogs.save.push_back(SaveDialogAnswer{path("none.zqf"), kFilterZqf});
  dialogs.form8.push_back(-1);
  ASSERT_TRUE(files.BitBtn5Click());
  EXPECT_EQ(dialogs.shownTForm8.size(), 1u);
  EXPECT_EQ(s().PartSelected, PerPart<uint8_t>{});
}

TEST_F(SaveCommand, NoToTheOverwriteQuestionWritesNothingAndStillGivesTheTicksBack) {
  type({60});
  { std::ofstream(path("keep.zqf")) << "old"; }
  dialogs.form7.push_back(only({0, 3}));
  dialogs.save.push_back(SaveDialogAnswer{path("keep.zqf"), kFilterZqf});
  dialogs.form8.push_back(0);
  questions.answers = {false};
  EXPECT_FALSE(files.BitBtn5Click());
  ASSERT_EQ(questions.asked.size(), 1u);
  EXPECT_EQ(questions.asked[0], "既存のファイルが存在します．上書きしますか?");
  EXPECT_EQ(bytesOf(path("keep.zqf")), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(s().PartSelected, only({0, 3}));

  // Yes writes it.
  dialogs.form7.push_back(only({0}));
  dialogs.save.push_back(SaveDialogAnswer{path("keep.zqf"), kFilterZqf});
  questions.answers = {true};
  EXPECT_TRUE(files.BitBtn5Click());
  EXPECT_NE(bytesOf(path("keep.zqf")).size(), 3u);
}

TEST_F(SaveCommand, AFailedWriteIsReportedAndChangesNothing) {
  type({60});
  dialogs.form7.push_back(ScriptedDialogs::allParts());
  dialogs.save.push_back(SaveDialogAnswer{path("missing/folder/x.zqf3"), kFilterZqf3});
  EXPECT_FALSE(files.BitBtn5Click());
  ASSERT_EQ(questions.errors.size(), 1u);
  EXPECT_NE(questions.errors[0].find("x.zqf3"), std::string::npos) << questions.errors[0];
  EXPECT_EQ(s().FileName, "");
  EXPECT_FALSE(dialogs.overwriteButton);
  EXPECT_TRUE(s().Modified);
}

TEST_F(FileCommandsTest, OverwriteButtonNamesTheFileTheCaptionNames) {
  type({60, 64});
  EXPECT_FALSE(files.overwriteEnabled());
  saveAs("w.zqf3");
  EXPECT_TRUE(dialogs.overwriteButton);
  EXPECT_EQ(s().FileName, path("w.zqf3"));
  // Exports leave the score's own file, which "上書" and Ctrl+S still write.
  saveAs("w.mid", kFilterMidi);
  saveAs("w.zqf2", kFilterZqf2);
  EXPECT_TRUE(dialogs.overwriteButton);
  EXPECT_EQ(s().FileName, path("w.zqf3")) << "only a whole-score save names the file";

  load("w.zqf2");
  EXPECT_FALSE(dialogs.overwriteButton) << "a track file is no whole-score file";
  EXPECT_EQ(s().FileName, path("w.zqf2"));
  EXPECT_EQ(windowCaption(s()), "Kelvara ver 1.1b4 - w.zqf2");
  questions.asked.clear();
  const auto before = bytesOf(path("w.zqf3"));
  files.BitBtn11Click();
  EXPECT_TRUE(questions.asked.empty()) << "the remembered file is no whole-score file";

  load("w.zqf3");
  type({67});
  questions.answers = {false};
  files.BitBtn11Click();
  EXPECT_EQ(questions.asked.back(), "w.zqf3 を上書きします。よろしいですね?");
  EXPECT_EQ(bytesOf(path("w.zqf3")), before) << "No writes nothing";
  EXPECT_TRUE(s().Modified);
  questions.answers = {true};
  files.BitBtn11Click();
  EXPECT_NE(bytesOf(path("w.zqf3")), before);
  EXPECT_FALSE(s().Modified);
}

TEST_F(LoadCommand, RoundTripThroughNewScoreGivesTheSameScore) {
  type({60, 62, 64});
  typeInto(10, {72, 0, 79});
  s().KeySig = 8;
  s().TimeNum = 3;
  s().TimeDen = 4;
  s().Tempo = 96;
  s().PartProgram[10] = 41;
  const auto saved = snapshot();
  saveAs("song.zqf3");
  EXPECT_FALSE(s().Modified);

  files.BitBtn8Click();
  ASSERT_EQ(questions.asked.size(), 1u) << "no changes since the save: the plain confirmation";
  // The confirmation was not answered OK: nothing changed.
  EXPECT_EQ(pitches(0), (std::vector<int32_t>{60, 62, 64}));
  questions.answers = {true};
  files.BitBtn8Click();
  EXPECT_TRUE(isPartEmpty(s().PartHead[0]));
  s().KeySig = 7;
  s().TimeNum = 4;
  s().Tempo = 120;
  s().PartProgram[10] = 0;

  midi.clear();
  load("song.zqf3");
  EXPECT_TRUE(questions.errors.empty());
  EXPECT_EQ(snapshot(), saved);
  EXPECT_EQ(s().FileName, path("song.zqf3"));
  EXPECT_FALSE(s().Modified);
  // The output was opened again and every channel got its program.
  ASSERT_GE(midi.events().size(), 13u);
  EXPECT_EQ(midi.events()[0].kind, Event::Kind::Close);
  EXPECT_EQ(midi.events()[1].kind, Event::Kind::Open);
  EXPECT_EQ(midi.messages()[10], 0xCAu + 41 * 256);
}

TEST_F(LoadCommand, DropsTheSelectionAndCountsEveryBarPositionExactly) {
  type({60, 62, 64, 65, 67, 69, 71, 72, 74});  // more than a 4/4 bar of eighths
  saveAs("s.zqf3");
  s().SelActive = 1;
  s().SelAnchorNode = firstRecordOf(s().PartHead[0]);
  s().SelEndNode = s().CurNode[0];
  load("s.zqf3");
  EXPECT_EQ(s().SelActive, 0);
  EXPECT_EQ(s().SelAnchorNode, nullptr);
  for (int p = 0; p < kPartCount; ++p) {
    const int32_t bar = s().BarNo[p];
    const int32_t fill = s().BarFill[p];
    s().recountBarPosition(p);
    EXPECT_EQ(s().BarNo[p], bar) << p;
    EXPECT_EQ(s().BarFill[p], fill) << p;
    EXPECT_EQ(s().PartSelected[p], 1) << p;
  }
  EXPECT_EQ(s().CurNode[0], firstRecordOf(s().PartHead[0]));
  EXPECT_EQ(s().PageNode, s().CurNode[0]);
  EXPECT_EQ(s().PageFirstBar, 1);
}

TEST_F(LoadCommand, AFailedLoadChangesNothing) {
  type({60, 62});
  typeInto(3, {50});
  s().FileName = path("kept.zqf3");
  s().Tempo = 77;
  // A whole-score file that ends halfway through its records.
  saveAs("good.zqf3");
  auto good = bytesOf(path("good.zqf3"));
  good.resize(good.size() - 20);
  {
    std::ofstream out(path("cut.zqf3"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(good.data()),
              static_cast<std::streamsize>(good.size()));
  }
  { std::ofstream(path("text.zqf2")) << "not a track file at all"; }
  type({64});
  const auto before = snapshot();
  const std::string fileName = s().FileName;
  const PerPart<uint8_t> selected = only({3});
  s().PartSelected = selected;
  const TOnpu* cursor = s().CurNode[3];
  midi.clear();

  for (const std::string bad : {"cut.zqf3", "text.zqf2", "absent.zqf3", "absent.zqf"}) {
    questions.errors.clear();
    dialogs.unsaved.push_back(UnsavedAnswer::Discard);
    load(bad, 9);
    ASSERT_EQ(questions.errors.size(), 1u) << bad;
    EXPECT_NE(questions.errors[0].find(bad), std::string::npos) << questions.errors[0];
    EXPECT_EQ(snapshot(), before) << bad;
    EXPECT_EQ(s().FileName, fileName) << bad;
    EXPECT_EQ(s().PartSelected, selected) << bad;
    EXPECT_EQ(s().CurNode[3], cursor) << bad;
    EXPECT_TRUE(s().Modified) << bad;
  }
  EXPECT_TRUE(midi.events().empty()) << "the output was never closed";
  EXPECT_TRUE(midi.isOpen());
}

TEST_F(LoadCommand, OnePartFileGoesIntoTheChosenPartAndLeavesTheRestAlone) {
  typeInto(0, {60, 62});
  dialogs.form7.push_back(only({0}));
  dialogs.save.push_back(SaveDialogAnswer{path("p.zqf"), kFilterZqf});
  ASSERT_TRUE(files.BitBtn5Click());
  typeInto(5, {40});
  saveAs("whole.zqf3");
  s().PartSelected = only({5});

  load("p.zqf", 9);
  ASSERT_EQ(dialogs.shownTForm8.size(), 1u);
  EXPECT_EQ(dialogs.shownTForm8[0],
            "Zqファイルは1パートしかありません。 / どのパートに読み込みますか？");
  EXPECT_EQ(pitches(10), (std::vector<int32_t>{60, 62}));
  EXPECT_EQ(pitches(0), (std::vector<int32_t>{60, 62}));
  EXPECT_EQ(pitches(5), (std::vector<int32_t>{40}));
  EXPECT_EQ(s().FileName, path("whole.zqf3"));
  EXPECT_EQ(s().PartSelected, only({5, 10}));
  EXPECT_TRUE(s().Modified) << "the score as a whole is kept nowhere now";
}

TEST_F(LoadCommand, TakesKeyTimeAndTempoFromTheFile) {
  type({60});
  s().KeySig = 3;
  s().Major = 0;
  s().TimeNum = 6;
  s().TimeDen = 8;
  s().Tempo = 150;
  saveAs("k.zqf2", kFilterZqf2);
  s().KeySig = 7;
  s().Major = 1;
  s().TimeNum = 4;
  s().TimeDen = 4;
  s().Tempo = 120;
  dialogs.unsaved.push_back(UnsavedAnswer::Discard);
  load("k.zqf2");
  EXPECT_TRUE(questions.errors.empty()) << questions.errors[0];
  EXPECT_EQ(s().KeySig, 3);
  EXPECT_EQ(s().Major, 0);
  EXPECT_EQ(s().TimeNum, 6);
  EXPECT_EQ(s().TimeDen, 8);
  EXPECT_EQ(s().Tempo, 150);
  EXPECT_TRUE(controls.timer1On) << "the keyboard slides to the minor arrangement";
  EXPECT_EQ(s().SlideStep, 4);
}

TEST_F(LoadCommand, MusicXmlComesBackAndTheNoticeSaysWhatWasLeftOut) {
  type({60, 62, 64});
  typeInto(10, {72});
  saveAs("song.musicxml", kFilterMusicXml);
  EXPECT_FALSE(files.overwriteEnabled());
  EXPECT_TRUE(s().Modified) << "MusicXML does not keep every detail";
  dialogs.unsaved.push_back(UnsavedAnswer::Discard);
  files.BitBtn8Click();
  load("song.musicxml");
  EXPECT_TRUE(questions.errors.empty());
  EXPECT_EQ(pitches(0), (std::vector<int32_t>{60, 62, 64}));
  EXPECT_EQ(pitches(10), (std::vector<int32_t>{72}));
  EXPECT_TRUE(questions.informed.empty()) << "the file read exactly: no notice";

  std::ofstream(path("sung.xml")) << "<score-partwise><part-list><score-part id=\"V\"/></part-list>"
                                     "<part id=\"V\"><measure><attributes><divisions>1</divisions>"
                                     "</attributes><note><pitch><step>A</step><octave>4</octave>"
                                     "</pitch><duration>1</duration><lyric><text>ah</text></lyric>"
                                     "</note></measure></part></score-partwise>";
  load("sung.xml");
  EXPECT_EQ(pitches(0), (std::vector<int32_t>{69}));
  ASSERT_EQ(questions.informed.size(), 1u);
  EXPECT_EQ(questions.informed[0], "この楽譜で扱えないものを省きました: 歌詞 1。");
  EXPECT_EQ(s().FileName, path("sung.xml"));
}

TEST_F(NewScore, EmptiesEveryPartKeepsSettingsAndClipboardAndForgetsTheFileName) {
  typeInto(0, {60, 62, 64});
  typeInto(kPercussionPart, {36});
  s().FileName = path("old.zqf3");
  s().Tempo = 88;
  s().PartSelected = only({1});
  s().ClipHead->Closed = 1;  // pretend something was copied
  TOnpu* clip = makeRecord(70, 8, 0);
  s().ClipHead->Next = clip;
  s().Modified = false;

  questions.answers = {true};
  files.BitBtn8Click();
  ASSERT_EQ(questions.asked.size(), 1u);
  EXPECT_EQ(questions.asked[0], "確認: 現在のデータを破棄します");
  for (int p = 0; p < kPartCount; ++p) {
    EXPECT_TRUE(isPartEmpty(s().PartHead[p])) << p;
    EXPECT_EQ(s().CurNode[p], endMarkerOf(s().PartHead[p])) << p;
    EXPECT_EQ(s().BarNo[p], 1) << p;
    EXPECT_EQ(s().BarFill[p], 0) << p;
    EXPECT_EQ(s().PartSelected[p], 1) << p;
  }
  EXPECT_EQ(s().Tempo, 88);
  EXPECT_EQ(s().ClipHead->Next, clip);
  EXPECT_EQ(view.viewWidth(), 742);
  // Regression: the empty score kept the old name, and Ctrl+S offered to
  // overwrite the old file with it.
  EXPECT_EQ(s().FileName, "");
  EXPECT_FALSE(dialogs.overwriteButton);
  EXPECT_EQ(windowCaption(s()), "Kelvara ver 1.1b4");
  dialogs.form7.push_back(std::nullopt);
  files.saveShortcut();
  EXPECT_EQ(dialogs.shownTForm7.size(), 1u) << "the save command, not the overwrite";
  // Undone, the score is the old file's again.
  ASSERT_TRUE(editor.undoCommands().undo());
  EXPECT_EQ(s().FileName, path("old.zqf3"));
  EXPECT_TRUE(files.overwriteEnabled());
}

TEST_F(UnsavedChanges, AreAskedAboutOnlyAfterAChange) {
  files.BitBtn7Click();  // cancels the open dialog
  EXPECT_TRUE(dialogs.unsavedAsked.empty());
  EXPECT_EQ(dialogs.shownOpen.size(), 1u);
  EXPECT_TRUE(files.settleUnsavedChanges()) << "quitting a fresh editor asks nothing";

  type({60});
  EXPECT_TRUE(s().Modified);
  dialogs.unsaved.push_back(UnsavedAnswer::Cancel);
  files.BitBtn7Click();
  EXPECT_EQ(dialogs.unsavedAsked.size(), 1u);
  EXPECT_EQ(dialogs.unsavedAsked[0],
            "現在のデータには保存されていない変更があります。保存しますか？");
  EXPECT_EQ(dialogs.shownOpen.size(), 1u) << "Cancel stops the load";

  dialogs.unsaved.push_back(UnsavedAnswer::Cancel);
  files.BitBtn8Click();
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60})) << "Cancel keeps the score";
  EXPECT_TRUE(questions.asked.empty()) << "the question replaces the plain confirmation";
}

TEST_F(UnsavedChanges, SavingFromTheQuestionGoesThroughTheSaveCommand) {
  type({60, 62});
  // Save, but the file dialog is cancelled: nothing is lost, nothing goes on.
  dialogs.unsaved.push_back(UnsavedAnswer::Save);
  dialogs.form7.push_back(ScriptedDialogs::allParts());
  dialogs.save.push_back(std::nullopt);
  files.BitBtn8Click();
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 62}));

  dialogs.unsaved.push_back(UnsavedAnswer::Save);
  dialogs.form7.push_back(ScriptedDialogs::allParts());
  dialogs.save.push_back(SaveDialogAnswer{path("kept.zqf3"), kFilterZqf3});
  files.BitBtn8Click();
  EXPECT_TRUE(isPartEmpty(s().PartHead[0]));
  EXPECT_FALSE(s().Modified);
  EditorState back;
  back.createLists();
  ASSERT_TRUE(loaddataplus2(back, path("kept.zqf3")).ok());
  EXPECT_EQ(firstRecordOf(back.PartHead[0])->Pitch[0], 60);

  // Discard goes on without saving.
  type({64});
  dialogs.unsaved.push_back(UnsavedAnswer::Discard);
  EXPECT_TRUE(files.settleUnsavedChanges());
}

TEST_F(UnsavedChanges, AreKeptOnlyByAWholeScoreSaveOfEveryPartThatHasRecords) {
  typeInto(0, {60});
  typeInto(4, {62});
  saveAs("m.mid", kFilterMidi);
  EXPECT_TRUE(s().Modified) << "a MIDI export cannot be loaded back";
  dialogs.form7.push_back(only({0}));
  dialogs.save.push_back(SaveDialogAnswer{path("half.zqf3"), kFilterZqf3});
  ASSERT_TRUE(files.BitBtn5Click());
  EXPECT_TRUE(s().Modified) << "part 5 is in no file";
  dialogs.form7.push_back(only({0, 4}));
  dialogs.save.push_back(SaveDialogAnswer{path("all.zqf3"), kFilterZqf3});
  ASSERT_TRUE(files.BitBtn5Click());
  EXPECT_FALSE(s().Modified);
  EXPECT_EQ(windowCaption(s()), "Kelvara ver 1.1b4 - all.zqf3");
  type({65});
  EXPECT_EQ(windowCaption(s()), "Kelvara ver 1.1b4 - all.zqf3 *");
}

TEST_F(FileCommandsTest, CtrlSOverwritesAWholeScoreFileAndElseSaves) {
  type({60});
  dialogs.form7.push_back(std::nullopt);
  files.saveShortcut();
  EXPECT_EQ(dialogs.shownTForm7.size(), 1u) << "no file yet: the save command";
  saveAs("c.zqf3");
  type({62});
  questions.answers = {true};
  files.saveShortcut();
  EXPECT_EQ(dialogs.shownTForm7.size(), 2u) << "the overwrite, not the save dialog";
  EXPECT_FALSE(s().Modified);
}

TEST_F(FileCommandsTest, OpenFileAtStartReadsAnyKindAndReportsABadOne) {
  typeInto(0, {60, 62});
  saveAs("start.zqf2", kFilterZqf2);
  files.BitBtn8Click();  // unanswered: keeps the score
  ASSERT_TRUE(files.openFile(path("start.zqf2")));
  EXPECT_EQ(pitches(0), (std::vector<int32_t>{60, 62}));
  EXPECT_FALSE(files.openFile(path("nothing.zqf3")));
  ASSERT_EQ(questions.errors.size(), 1u);
  EXPECT_NE(questions.errors[0].find("nothing.zqf3"), std::string::npos);
}

TEST_F(UnsavedChanges, SaveFromTheQuestionKeepsEveryPartWhateverWasTicked) {
  // Regression: the save the question started wrote only the parts last
  // ticked for the preview, and quitting then went on.
  typeInto(0, {60});
  typeInto(1, {62, 64});
  const auto whole = snapshot();
  s().PartSelected = only({0});
  dialogs.unsaved.push_back(UnsavedAnswer::Save);
  dialogs.save.push_back(SaveDialogAnswer{path("all"), kFilterZqf3});
  EXPECT_TRUE(files.settleUnsavedChanges());
  EXPECT_TRUE(dialogs.shownTForm7.empty()) << "no part ticks to get wrong";
  EXPECT_EQ(dialogs.shownSave.back().filterIndex, kFilterZqf3);
  EXPECT_EQ(s().PartSelected, only({0})) << "the ticks stay as they were";
  EXPECT_FALSE(s().Modified);
  load("all.zqf3");
  EXPECT_EQ(snapshot(), whole);

  // With a whole-score file the question names it, and it takes the score.
  typeInto(1, {65});
  const auto changed = snapshot();
  s().PartSelected = only({1});
  dialogs.unsaved.push_back(UnsavedAnswer::Save);
  EXPECT_TRUE(files.settleUnsavedChanges());
  EXPECT_EQ(dialogs.unsavedAsked.back(),
            "「all.zqf3」には保存されていない変更があります。保存しますか？");
  EXPECT_EQ(dialogs.shownSave.size(), 1u) << "no dialog";
  load("all.zqf3");
  EXPECT_EQ(snapshot(), changed);
}

TEST_F(UnsavedChanges, AnExportFromTheQuestionDoesNotLetTheScoreGo) {
  type({60});
  for (const int filter : {kFilterMidi, kFilterZqf2, kFilterZqf}) {
    questions.informed.clear();
    dialogs.unsaved.push_back(UnsavedAnswer::Save);
    dialogs.save.push_back(SaveDialogAnswer{path("out" + std::to_string(filter)), filter});
    EXPECT_FALSE(files.settleUnsavedChanges()) << filter;
    EXPECT_TRUE(s().Modified) << filter;
    ASSERT_FALSE(questions.informed.empty()) << filter;
    EXPECT_EQ(questions.informed.back(),
              "この形式のファイルには楽譜全体は残りません。変更はまだ保存されていません。");
  }
  dialogs.unsaved.push_back(UnsavedAnswer::Save);
  dialogs.save.push_back(SaveDialogAnswer{path("out.mid"), kFilterMidi});
  files.BitBtn8Click();
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60})) << "the new score waits for a real save";
}

TEST_F(FileCommandsTest, OverwriteAndCtrlSWriteEveryPartWhateverWasTicked) {
  typeInto(0, {60});
  typeInto(1, {62});
  saveAs("two.zqf3");
  typeInto(1, {64});
  const auto whole = snapshot();
  s().PartSelected = only({0});  // as the preview left them
  questions.answers = {true};
  files.saveShortcut();
  EXPECT_FALSE(s().Modified);
  EXPECT_EQ(s().PartSelected, only({0}));
  questions.answers = {true};
  files.BitBtn8Click();
  load("two.zqf3");
  EXPECT_EQ(snapshot(), whole) << "part 2 is in the file";
}

TEST(FileNames, ExtensionsAndBaseNames) {
  EXPECT_EQ(fileExtension("/a.b/song"), "");
  EXPECT_EQ(fileExtension("/x/song.ZQF3"), ".ZQF3");
  EXPECT_EQ(withExtension("/a.b/song", ".mid"), "/a.b/song.mid");
  EXPECT_EQ(withExtension("/x/song.MID", ".mid"), "/x/song.mid");
  EXPECT_EQ(fileBaseName("/x/y/song.zqf3"), "song.zqf3");
  EXPECT_EQ(saveFilterFor(".smf", 3), kFilterMidi);
  EXPECT_EQ(saveFilterFor(".MID", 3), 3);
}

}  // namespace
}  // namespace kelvara

namespace kelvara {
namespace {

TEST_F(FileCommandsTest, AudioIsTheFifthKindOnlyWhereTheProgramOffersIt) {
  type({60, 62});
  // Without an audio export the dialog's answer is held to the four kinds.
  dialogs.form7.push_back(ScriptedDialogs::allParts());
  dialogs.save.push_back(SaveDialogAnswer{path("song"), kFilterWav});
  ASSERT_TRUE(files.BitBtn5Click());
  EXPECT_TRUE(fs::exists(path("song.zqf")));

  std::vector<std::string> rendered;
  files.setAudioExport([&](const EditorState&, int32_t from, int32_t to, const std::string& out,
                           const std::string&) {
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, -1);
    rendered.push_back(out);
    return FileResult{};
  });
  const std::string nameBefore = s().FileName;
  dialogs.form7.push_back(ScriptedDialogs::allParts());
  dialogs.save.push_back(SaveDialogAnswer{path("song"), kFilterWav});
  ASSERT_TRUE(files.BitBtn5Click());
  ASSERT_EQ(rendered.size(), 1u);
  EXPECT_EQ(rendered[0], path("song.wav"));  // the extension is added, as for the others
  EXPECT_EQ(s().FileName, nameBefore);
  EXPECT_FALSE(dialogs.overwriteButton);
}

}  // namespace
}  // namespace kelvara
