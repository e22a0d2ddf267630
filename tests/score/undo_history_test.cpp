#include "score/undo_history.h"

#include <random>

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
  UndoHistory history{s};

  // A command at the cursor, recorded as the editor records key commands.
  template <typename F>
  void atCursor(F command) {
    TOnpu* c = cur();
    history.beginLocal(s.WorkPart, c->Prev, c);
    command();
    history.commit();
  }

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
  atCursor([&] { editor.InsertOnpu(60, 16); });
  atCursor([&] { editor.InsertOnpu(62, 16); });
  atCursor([&] { editor.rightshift(); });  // closing is a change too
  const PartImage two = imageOf(s, 0);
  atCursor([&] { editor.BSOnpu(); });
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60}));

  undo();
  EXPECT_EQ(imageOf(s, 0), two);
  undo();
  undo();
  undo();
  EXPECT_EQ(imageOf(s, 0), empty);
  EXPECT_FALSE(history.canUndo());
  redo();
  redo();
  redo();
  EXPECT_EQ(imageOf(s, 0), two);
  redo();
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60}));
  EXPECT_FALSE(history.canRedo());
}

TEST_F(UndoHistoryTest, ACommandThatChangesNothingLeavesNoStep) {
  atCursor([&] { editor.DeleteOnpu(); });  // at the end marker: refused
  atCursor([&] { editor.left(); });
  EXPECT_FALSE(history.canUndo());
}

TEST_F(UndoHistoryTest, AChordEnteredPitchByPitchIsOneStepWhileItsStepStaysOpen) {
  s.SingleInput = 0;
  const PartImage empty = imageOf(s, 0);
  atCursor([&] { editor.InsertOnpu(60, 16); });
  // Further pitches of the open record join the step already recorded.
  for (int pitch : {64, 67}) {
    history.beginJoined(0, cur(), cur());
    editor.InsertOnpu(pitch, 16);
    history.commit();
  }
  EXPECT_EQ(history.undoCount(), 1u);
  atCursor([&] { editor.rightshift(); });
  atCursor([&] { editor.InsertOnpu(72, 16); });
  history.beginJoined(0, cur(), cur());
  editor.BSOnpu();  // removes the open record: joins and frees it
  history.commit();
  EXPECT_EQ(history.undoCount(), 2u);
  undo();
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{67}));
  undo();
  EXPECT_EQ(imageOf(s, 0), empty);
  redo();
  redo();
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{67}));
}

TEST_F(UndoHistoryTest, ANewCommandDropsTheRedoSteps) {
  atCursor([&] { editor.InsertOnpu(60, 16); });
  atCursor([&] { editor.InsertOnpu(62, 16); });
  undo();
  EXPECT_TRUE(history.canRedo());
  atCursor([&] { editor.InsertOnpu(65, 16); });
  EXPECT_FALSE(history.canRedo());
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60, 65}));
}

TEST_F(UndoHistoryTest, TupletDissolvedByAnEntryComesBackWhole) {
  for (int p : {60, 62, 64, 65}) append(p, 8);
  cursorToStart();
  makeTuplet(first(), 3, 16);
  moveRight(1);
  const PartImage grouped = imageOf(s, 0);
  atCursor([&] { editor.InsertOnpu(70, 8); });  // splits the group
  EXPECT_EQ(first()->RenIndex, 0);
  undo();
  EXPECT_EQ(imageOf(s, 0), grouped);
}

TEST_F(UndoHistoryTest, WholeScoreStepsSwapListsAndValuesAndKeepOlderStepsValid) {
  atCursor([&] { editor.InsertOnpu(60, 16); });
  atCursor([&] { editor.rightshift(); });
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
  // The note's own step still applies to the restored list.
  undo();
  undo();
  EXPECT_TRUE(isPartEmpty(head()));
  redo();
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
    atCursor([&] { editor.InsertOnpu(60 + static_cast<int>(i % 12), 16); });
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
    std::vector<PartImage> states{imageOf(s, 0)};
    size_t at = 0;
    for (int step = 0; step < 300; ++step) {
      const int what = static_cast<int>(rng() % 11);
      if (what == 0 && history.canUndo()) {
        undo();
        --at;
      } else if (what == 1 && history.canRedo()) {
        redo();
        ++at;
      } else {
        const bool recorded = [&] {
          TOnpu* c = cur();
          history.beginLocal(0, c->Prev, c);
          switch (rng() % 8) {
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
              if (!isEndMarker(*cur()) && cur()->RenIndex == 0 && !isEndMarker(*cur()->Next) &&
                  cur()->Next->RenIndex == 0 && cur()->Closed == 1 && cur()->Next->Closed == 1) {
                makeTuplet(cur(), 2, 8);
              }
              break;
            default:
              editor.InsertOnpu(static_cast<int32_t>(55 + rng() % 20), 4 << (rng() % 3));
          }
          return history.commit();
        }();
        s.recountBarPosition(0);
        if (recorded) {
          states.resize(at + 1);
          states.push_back(imageOf(s, 0));
          ++at;
        } else {
          states[at] = imageOf(s, 0);  // a cursor move: the state itself
        }
      }
      ASSERT_EQ(history.undoCount(), at) << "seed " << seed << " step " << step;
      PartImage now = imageOf(s, 0);
      // Cursor moves are not steps: compare the records only.
      ASSERT_EQ(now.records, states[at].records) << "seed " << seed << " step " << step;
    }
  }
}

}  // namespace
}  // namespace kelvara::testing
