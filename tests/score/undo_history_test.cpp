#include "score/undo_history.h"

#include <random>

#include "score/tuplets.h"
#include "score_fixture.h"

namespace kelvara::testing {
namespace {

// Everything a part stores, record by record (links and drawn widths aside),
// with the cursor's place and bar position.
struct PartImage {
  std::vector<std::vector<int32_t>> records;
  size_t cursorIndex = 0;
  int32_t barNo = 0, barFill = 0;
  bool operator==(const PartImage&) const = default;
  friend void PrintTo(const PartImage& img, std::ostream* os) {
    *os << img.records.size() << " records, cursor at " << img.cursorIndex << ", bar " << img.barNo
        << " + " << img.barFill;
  }
};

PartImage imageOf(EditorState& s, int part) {
  PartImage img;
  size_t i = 0;
  for (TOnpu* r = s.PartHead[part]; r != nullptr; r = r->Next, ++i) {
    std::vector<int32_t> v(r->Pitch.begin(), r->Pitch.end());
    v.insert(v.end(), r->AccDelta.begin(), r->AccDelta.end());
    v.insert(v.end(), {r->LastIndex, r->Length, r->Velocity, r->LenNum, r->LenDen, r->YoinType,
                       r->YoinAmount, r->RenIndex, r->RenCount, r->RenLength, r->Closed});
    img.records.push_back(std::move(v));
    if (r == s.CurNode[part]) img.cursorIndex = i;
    if (r->Next != nullptr) {
      EXPECT_EQ(r->Next->Prev, r) << "broken back link at " << i;
    }
  }
  img.barNo = s.BarNo[part];
  img.barFill = s.BarFill[part];
  return img;
}

class UndoHistoryTest : public ScoreTest {
 protected:
  UndoHistoryTest() { s.Undo = &history; }
  ~UndoHistoryTest() override { s.Undo = nullptr; }

  void selectRight(int count) {
    editor.selection().grab();
    moveRight(count);
    editor.selection().extendToCursor();
  }
  void selectLeft(int count) {
    editor.selection().grab();
    for (int i = 0; i < count; ++i) editor.left();
    editor.selection().extendToCursor();
  }

  UndoHistory history{s};
  Tuplets tuplets{s, drawing, view, editor.selection()};

  void undo() {
    ASSERT_TRUE(history.undo().has_value());
    s.recountBarPosition(s.WorkPart);
  }
  void redo() {
    ASSERT_TRUE(history.redo().has_value());
    s.recountBarPosition(s.WorkPart);
  }
};

TEST_F(UndoHistoryTest, NoteEntryDeleteAndBackspaceComeBackExactly) {
  const PartImage empty = imageOf(s, 0);
  editor.InsertOnpu(60, 16);
  const PartImage one = imageOf(s, 0);
  editor.InsertOnpu(62, 16);  // closes the first note: a step of its own
  editor.rightshift();        // closing belongs to the entry's step
  const PartImage two = imageOf(s, 0);
  EXPECT_EQ(history.undoCount(), 2u);
  editor.BSOnpu();
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60}));
  editor.left();
  editor.DeleteOnpu();
  EXPECT_TRUE(isPartEmpty(head()));

  undo();
  undo();
  EXPECT_EQ(imageOf(s, 0), two);
  undo();
  EXPECT_EQ(imageOf(s, 0).records, one.records);
  undo();
  EXPECT_EQ(imageOf(s, 0), empty);
  EXPECT_FALSE(history.canUndo());
  redo();
  redo();
  EXPECT_EQ(imageOf(s, 0), two);
  redo();
  redo();
  EXPECT_TRUE(isPartEmpty(head()));
  EXPECT_FALSE(history.canRedo());
}

TEST_F(UndoHistoryTest, ACommandThatChangesNothingLeavesNoStep) {
  editor.DeleteOnpu();  // at the end marker: refused
  editor.left();
  editor.BSOnpu();
  EXPECT_FALSE(history.canUndo());
}

TEST_F(UndoHistoryTest, CutPasteTupletsAndModifiersComeBackExactly) {
  for (int p : {60, 62, 64, 65, 67, 69}) append(p, 8);
  cursorToStart();
  std::vector<PartImage> states{imageOf(s, 0)};
  moveRight(1);
  selectRight(3);
  ASSERT_TRUE(tuplets.Change_renpu(4));
  states.push_back(imageOf(s, 0));
  selectLeft(2);
  editor.Cut1Click();  // cuts into the group: dissolves it
  states.push_back(imageOf(s, 0));
  editor.right();
  editor.Paste1Click();
  states.push_back(imageOf(s, 0));
  selectRight(2);
  editor.Paste1Click();  // replaces the selection: one step
  states.push_back(imageOf(s, 0));
  ASSERT_EQ(history.undoCount(), 4u);

  for (size_t i = states.size() - 1; i > 0; --i) {
    undo();
    EXPECT_EQ(imageOf(s, 0).records, states[i - 1].records) << "undo to state " << i - 1;
  }
  for (size_t i = 1; i < states.size(); ++i) {
    redo();
    EXPECT_EQ(imageOf(s, 0).records, states[i].records) << "redo to state " << i;
  }
}

TEST_F(UndoHistoryTest, AChordEnteredPitchByPitchAndClosedIsOneStep) {
  s.SingleInput = 0;
  const PartImage empty = imageOf(s, 0);
  editor.InsertOnpu(60, 16);
  editor.InsertOnpu(64, 16);
  editor.InsertOnpu(67, 16);
  editor.rightshift();
  EXPECT_EQ(history.undoCount(), 1u);
  editor.InsertOnpu(72, 16);
  editor.EscapeOnpu();  // dropping the record being entered leaves no step
  EXPECT_EQ(history.undoCount(), 1u);
  undo();
  EXPECT_EQ(imageOf(s, 0), empty);
  redo();
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{67}));
  EXPECT_EQ(first()->LastIndex, 2);
}

TEST_F(UndoHistoryTest, ANewCommandDropsTheRedoSteps) {
  editor.InsertOnpu(60, 16);
  editor.InsertOnpu(62, 16);
  undo();
  EXPECT_TRUE(history.canRedo());
  editor.InsertOnpu(65, 16);
  EXPECT_FALSE(history.canRedo());
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60, 65}));
}

TEST_F(UndoHistoryTest, TupletDissolvedByAnEntryComesBackWhole) {
  for (int p : {60, 62, 64, 65}) append(p, 8);
  cursorToStart();
  makeTuplet(first(), 3, 16);
  moveRight(1);
  const PartImage grouped = imageOf(s, 0);
  editor.InsertOnpu(70, 8);  // splits the group
  EXPECT_EQ(first()->RenIndex, 0);
  undo();
  EXPECT_EQ(imageOf(s, 0), grouped);
}

TEST_F(UndoHistoryTest, WholeScoreStepsSwapListsAndValuesAndKeepOlderStepsValid) {
  editor.InsertOnpu(60, 16);
  editor.rightshift();
  const PartImage before = imageOf(s, 0);

  // "New score" with a changed time signature: the command clears its copies.
  history.beginScore(true);
  for (int p = 0; p < kPartCount; ++p) s.CurNode[p] = clearPart(s.PartHead[p]);
  s.TimeNum = 3;
  s.FileName = "b.zqf3";
  history.commit();
  EXPECT_TRUE(isPartEmpty(head()));

  undo();
  EXPECT_EQ(imageOf(s, 0), before);
  EXPECT_EQ(s.TimeNum, 4);
  EXPECT_EQ(s.FileName, "");
  // The note's own step (entered and closed) still applies to the restored
  // list.
  undo();
  EXPECT_TRUE(isPartEmpty(head()));
  redo();
  redo();
  EXPECT_TRUE(isPartEmpty(head()));
  EXPECT_EQ(s.TimeNum, 3);
}

TEST_F(UndoHistoryTest, SettingsOnlyStepsKeepTheLists) {
  history.beginScore(false);
  s.KeySig = 5;
  s.Tempo = 90;
  history.commit();
  history.beginScore(false);  // OK without a change
  history.commit();
  EXPECT_EQ(history.undoCount(), 1u);
  undo();
  EXPECT_EQ(s.KeySig, 7);
  EXPECT_EQ(s.Tempo, 120);
}

TEST_F(UndoHistoryTest, HistoryIsBoundedToItsStepCount) {
  for (size_t i = 0; i < UndoHistory::kMaxSteps + 50; ++i) {
    editor.InsertOnpu(60 + static_cast<int>(i % 12), 16);
  }
  EXPECT_EQ(history.undoCount(), UndoHistory::kMaxSteps);
  while (history.canUndo()) history.undo();
  s.recountBarPosition(0);
  // The oldest steps are gone: their notes stay.
  EXPECT_EQ(leadPitches().size(), 50u);
}

// Random key commands, undos and redos; after every step the part must equal
// the snapshot taken when the score was last in that state.
TEST_F(UndoHistoryTest, RandomCommandsUndosAndRedosMatchSnapshots) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 rng(seed);
    history.clear();
    s.CurNode[0] = clearPart(head());
    s.recountBarPosition(0);
    s.SingleInput = seed % 2;
    // states[n]: the part's records when n steps can be undone.
    std::vector<std::vector<std::vector<int32_t>>> states{imageOf(s, 0).records};
    for (int step = 0; step < 400; ++step) {
      const int what = static_cast<int>(rng() % 11);
      if (what == 0 && history.canUndo()) {
        undo();
      } else if (what == 1 && history.canRedo()) {
        redo();
      } else {
        switch (rng() % 11) {
          case 0:
            editor.left();
            break;
          case 1:
            editor.right();
            break;
          case 2:
            editor.rightshift();
            break;
          case 3:
            editor.DeleteOnpu();
            break;
          case 4:
            editor.BSOnpu();
            break;
          case 5:
            editor.EscapeOnpu();
            break;
          case 6:
            selectRight(1 + static_cast<int>(rng() % 3));
            break;
          case 7:
            selectLeft(1 + static_cast<int>(rng() % 3));
            break;
          case 8:
            switch (rng() % 4) {
              case 0:
                editor.Cut1Click();
                break;
              case 1:
                editor.Paste1Click();
                break;
              case 2:
                editor.Delete1Click();
                break;
              default:
                tuplets.Change_renpu(static_cast<int32_t>(rng() % 3) * 2);
                break;
            }
            break;
          default:
            editor.InsertOnpu(static_cast<int32_t>(55 + rng() % 20), 4 << (rng() % 3));
        }
        s.recountBarPosition(0);
        const size_t n = history.undoCount();
        if (history.redoCount() == 0 || states.size() <= n) states.resize(n + 1);
        states[n] = imageOf(s, 0).records;
        continue;
      }
      // Cursor moves are not steps: the records are what was there.
      ASSERT_EQ(imageOf(s, 0).records, states[history.undoCount()])
          << "seed " << seed << " step " << step;
    }
  }
}

}  // namespace
}  // namespace kelvara::testing
