// Undo and redo of every kind of score change on a headless editor: each
// command taken back gives the whole-score file's bytes from before it, and
// done again the bytes from after it, with an exact bar position.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "editor/editor.h"
#include "editor/file_commands.h"
#include "editor/recovery_keeper.h"
#include "editor/settings_commands.h"
#include "files/zqf3_file.h"
#include "input/headless_controls.h"
#include "input/key_map.h"
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

class UndoCommandsTest : public ::testing::Test {
 protected:
  UndoCommandsTest()
      : midi(2),
        editor(view, controls, midi, questions),
        files(editor, dialogs),
        settings(editor, dialogs) {
    folder = fs::temp_directory_path() /
             ("kelvara-undo-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  ~UndoCommandsTest() override { fs::remove_all(folder); }

  void SetUp() override {
    ASSERT_EQ(editor.FormCreate({"", false, SOURCE_DIR "/onpu"}), "");
    controls.keyboardPage = true;
  }

  EditorState& s() { return editor.state(); }
  std::string path(const std::string& name) const { return (folder / name).string(); }

  void key(int code, Modifiers m = {}) {
    editor.input().FormKeyDown(code, m);
    editor.input().FormKeyUp(code, m);
  }
  void type(std::initializer_list<int> codes) {
    for (int c : codes) {
      key(c);
      key(vk::kShift, {.shift = true});
    }
  }
  std::vector<uint8_t> snapshot() {
    const PerPart<uint8_t> selected = s().PartSelected;
    s().PartSelected.fill(1);
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(encodeZqf3(s(), 0, -1, "snapshot", bytes).ok());
    s().PartSelected = selected;
    return bytes;
  }
  // The bar position the cursor must have: a count from the part's start.
  void expectExactBarPosition() {
    const int p = s().WorkPart;
    const int32_t barNo = s().BarNo[p], barFill = s().BarFill[p];
    s().recountBarPosition(p);
    EXPECT_EQ(barNo, s().BarNo[p]);
    EXPECT_EQ(barFill, s().BarFill[p]);
  }
  // Runs `command`, then checks that Ctrl+Z gives the bytes from before it
  // and Ctrl+Y the bytes from after it.
  void expectUndoable(const char* what, const std::function<void()>& command) {
    SCOPED_TRACE(what);
    const std::vector<uint8_t> before = snapshot();
    command();
    const std::vector<uint8_t> after = snapshot();
    ASSERT_NE(before, after) << "the command changed nothing";
    key(vk::kZ, {.ctrl = true});
    EXPECT_EQ(snapshot(), before);
    expectExactBarPosition();
    EXPECT_EQ(s().SelActive, 0);
    key(vk::kZ, {.shift = true, .ctrl = true});
    EXPECT_EQ(snapshot(), after);
    expectExactBarPosition();
    key(vk::kZ, {.ctrl = true});
    key(vk::kY, {.ctrl = true});
    EXPECT_EQ(snapshot(), after);
  }

  fs::path folder;
  HeadlessScoreView view;
  HeadlessControls controls;
  ScriptedQuestions questions;
  ScriptedDialogs dialogs;
  RecordingMidiOutput midi;
  Editor editor;
  FileCommands files;
  SettingsCommands settings;
};

TEST_F(UndoCommandsTest, EveryKeyCommandIsTakenBackAndDoneAgainExactly) {
  type({'Z', 'X', 'C', 'V', 'B', 'N'});
  expectUndoable("a note", [&] { type({'M'}); });
  expectUndoable("a rest", [&] { key(vk::kSpace); });
  expectUndoable("a chord", [&] {
    key(vk::kDigit9);
    for (int c : {'C', 'B', 'M'}) key(c);
    key(vk::kShift, {.shift = true});
    key(vk::kDigit8);
  });
  key(vk::kLeft);
  key(vk::kLeft);
  expectUndoable("Delete", [&] { key(vk::kDelete); });
  expectUndoable("BackSpace", [&] { key(vk::kBack); });
  expectUndoable("cut", [&] {
    key(vk::kLeft, {.shift = true});
    key(vk::kLeft, {.shift = true});
    key(vk::kX, {.ctrl = true});
  });
  expectUndoable("paste", [&] { key(vk::kV, {.ctrl = true}); });
  expectUndoable("delete of a selection", [&] {
    key(vk::kRight, {.shift = true});
    key(vk::kDelete);
  });
  expectUndoable("the percussion pad", [&] { editor.input().percussionButtonClick(3); });
  expectUndoable("a tuplet", [&] {
    key(vk::kLeft);
    key(vk::kLeft, {.shift = true});
    key(vk::kLeft, {.shift = true});
    key(vk::kLeft, {.shift = true});
    editor.editMenu().Ren_4Click();
  });
  expectUndoable("releasing it", [&] {
    key(vk::kRight, {.shift = true});
    editor.editMenu().Ren_reClick();
  });
}

TEST_F(UndoCommandsTest, AChordIsOneStepAndEscapeLeavesNoStep) {
  type({'C'});
  const std::vector<uint8_t> one = snapshot();
  key(vk::kDigit9);
  for (int c : {'C', 'B', 'M'}) key(c);  // 'C' again lengthens: all one entry
  key(vk::kShift, {.shift = true});
  key('V');
  key(vk::kEscape);
  key(vk::kZ, {.ctrl = true});
  EXPECT_EQ(snapshot(), one);
  EXPECT_TRUE(editor.history().canUndo());
}

TEST_F(UndoCommandsTest, SettingsNewScoreAndLoadAreStepsToo) {
  type({'Z', 'X', 'C'});
  expectUndoable("score settings", [&] {
    dialogs.form3 = [](ScoreSettingsForm f) {
      f.keyIndex = 9;
      f.timeIndex = 2;
      f.tempoText = "96";
      f.major = false;
      return std::optional<ScoreSettingsForm>(f);
    };
    settings.BitBtn3Click();
  });
  EXPECT_EQ(controls.timer1Interval, 200);  // the keyboard slid back

  {
    const std::vector<uint8_t> bytes = snapshot();
    std::ofstream(path("other.zqf3"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  expectUndoable("new score", [&] {
    dialogs.unsaved.push_back(UnsavedAnswer::Discard);
    files.BitBtn8Click();
  });
  const std::string nameBefore = s().FileName;
  expectUndoable("load", [&] {
    dialogs.unsaved.push_back(UnsavedAnswer::Discard);
    dialogs.open.push_back(path("other.zqf3"));
    files.BitBtn7Click();
  });
  key(vk::kZ, {.ctrl = true});
  EXPECT_EQ(s().FileName, nameBefore);  // an undone load does not keep its file's name
  EXPECT_TRUE(s().Modified);
}

TEST_F(UndoCommandsTest, ShiftAndCtrlAsTheyGoDownKeepTheRedoHistory) {
  // Ctrl+Shift+Z arrives as Shift, then Ctrl, then Z, each with the
  // modifiers held so far: a Shift that closes no chord must not end redo.
  for (int c : {'Z', 'X', 'C'}) key(c);
  const std::vector<uint8_t> after = snapshot();
  for (int i = 0; i < 2; ++i) key(vk::kZ, {.ctrl = true});
  for (int i = 0; i < 2; ++i) {
    key(vk::kShift, {.shift = true});
    key(vk::kControl, {.shift = true, .ctrl = true});
    key(vk::kZ, {.shift = true, .ctrl = true});
  }
  EXPECT_EQ(snapshot(), after);
}

TEST_F(UndoCommandsTest, UndoInAnotherPartShowsThatPart) {
  type({'C'});
  editor.score().selectWorkPart(listItemForPart(3));
  type({'V'});
  editor.score().selectWorkPart(listItemForPart(0));
  key(vk::kZ, {.ctrl = true});
  EXPECT_EQ(s().WorkPart, 3);
  EXPECT_TRUE(isPartEmpty(s().PartHead[3]));
  key(vk::kZ, {.ctrl = true});
  EXPECT_EQ(s().WorkPart, 0);
  EXPECT_TRUE(isPartEmpty(s().PartHead[0]));
  EXPECT_FALSE(editor.history().canUndo());
  // Nothing sounds on undo or redo.
  midi.clear();
  key(vk::kY, {.ctrl = true});
  EXPECT_TRUE(midi.events().empty());
}

TEST_F(UndoCommandsTest, RecoveryCopyFollowsUnsavedWorkAndIsRestoredAfterACrash) {
  const std::string recoveryFolder = path("state");
  std::string copy;
  {
    RecoveryStore store(recoveryFolder);
    ASSERT_EQ(store.claim(), "");
    RecoveryKeeper keeper(s(), store);
    keeper.tick(0);
    EXPECT_EQ(keeper.writes(), 0);  // nothing unsaved yet
    type({'Z', 'X'});
    keeper.tick(1000);
    keeper.tick(1000 + RecoveryKeeper::kQuietMs - 1);
    EXPECT_EQ(keeper.writes(), 0);  // not while the user is still typing
    keeper.tick(1000 + RecoveryKeeper::kQuietMs);
    keeper.wait();
    EXPECT_EQ(keeper.writes(), 1);
    EXPECT_EQ(keeper.lastError(), "");
    keeper.tick(9000);
    EXPECT_EQ(keeper.writes(), 1);  // no change, no new copy
    type({'C'});
    keeper.tick(9000);
    keeper.tick(9000 + RecoveryKeeper::kQuietMs);
    keeper.wait();
    EXPECT_EQ(keeper.writes(), 2);
    copy = store.copyPath();
    EXPECT_TRUE(fs::exists(copy));
    // A termination signal right after a change: the copy is brought up to
    // date at once and kept, the lock goes.
    type({'V'});
    keeper.tick(9500);
    keeper.keep();
    EXPECT_EQ(keeper.writes(), 3);
    EXPECT_FALSE(fs::exists(fs::path(copy).replace_extension(".lock")));
  }
  const std::vector<uint8_t> typed = snapshot();
  s().Modified = false;
  questions.answers.push_back(true);
  files.BitBtn8Click();
  ASSERT_TRUE(isPartEmpty(s().PartHead[0]));

  RecoveryStore next(recoveryFolder);
  ASSERT_EQ(next.claim(), "");
  const auto orphans = next.orphans();
  ASSERT_EQ(orphans.size(), 1u);
  ASSERT_TRUE(files.restoreRecoveryCopy(orphans[0].copyPath, orphans[0].fileName));
  EXPECT_EQ(snapshot(), typed);
  EXPECT_TRUE(s().Modified);
  EXPECT_EQ(s().FileName, "");
  EXPECT_FALSE(editor.history().canUndo());
  // Regression: the restored copy was deleted at once, and a crash before
  // the new copy was written lost the work. It stays, held by this run, so
  // no other editor offers it, until this run's copy is written.
  ASSERT_TRUE(next.adopt(orphans[0]));
  RecoveryStore other(recoveryFolder);
  ASSERT_EQ(other.claim(), "");
  EXPECT_TRUE(other.orphans().empty());
  RecoveryKeeper keeper(s(), next);
  keeper.tick(0);
  EXPECT_TRUE(fs::exists(orphans[0].copyPath));
  keeper.tick(RecoveryKeeper::kQuietMs);
  keeper.wait();
  EXPECT_EQ(keeper.writes(), 1);
  EXPECT_FALSE(fs::exists(orphans[0].copyPath));
  other.release();

  // A clean end leaves nothing behind.
  keeper.finish();
  size_t left = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(recoveryFolder)) ++left;
  EXPECT_EQ(left, 0u);
}

// Regression: a copy that could not be written was only said on the error
// output; the user never learnt that crash protection was off.
TEST_F(UndoCommandsTest, RecoveryFailureIsToldOnceAndSoIsItsEnd) {
  RecoveryStore store(path("state"));
  ASSERT_EQ(store.claim(), "");
  RecoveryKeeper keeper(s(), store);
  fs::create_directories(store.copyPath());  // the copy cannot take its name
  int64_t now = 0;
  auto changeAndTick = [&](int key) {
    type({key});
    keeper.tick(now += 10);
    keeper.tick(now += RecoveryKeeper::kQuietMs);
    keeper.wait();
    keeper.tick(now += 10);
    return keeper.takeNotice();
  };
  const std::string off = changeAndTick('Z');
  EXPECT_NE(off.find("復元用のコピーを保存できません"), std::string::npos) << off;
  EXPECT_NE(off.find(store.copyPath()), std::string::npos) << off;
  EXPECT_EQ(changeAndTick('X'), "");  // said once
  fs::remove(store.copyPath());
  EXPECT_EQ(changeAndTick('C'), "復元用のコピーをまた保存できるようになりました。");
  EXPECT_EQ(changeAndTick('V'), "");
  keeper.finish();
}

}  // namespace
}  // namespace kelvara
