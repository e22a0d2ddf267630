#include <gtest/gtest.h>

#include <tuple>

#include "score/tuplets.h"
#include "score_fixture.h"
#include "support/score_checks.h"

namespace kelvara::testing {
namespace {

using Fields = std::tuple<int32_t, int32_t, int32_t>;  // RenIndex, RenCount, RenLength

Fields fields(const TOnpu* r) {
  return {r->RenIndex, r->RenCount, r->RenLength};
}

class TupletCommands : public ScoreTest {
 protected:
  // Selects `count` records to the right of the cursor, as Shift+Right does.
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
  TOnpu* at(int index) {
    TOnpu* r = first();
    for (int i = 0; i < index; ++i) r = r->Next;
    return r;
  }

  Tuplets tuplets{s, drawing, view, editor.selection()};
};

TEST_F(TupletCommands, ThreeEighthsInAQuarterCountOnceAtTheLastMember) {
  for (int32_t p : {60, 62, 64, 65}) append(p, 8);
  cursorToStart();
  selectRight(3);
  EXPECT_TRUE(tuplets.Change_renpu(4));
  EXPECT_EQ(s.SelActive, 0);
  EXPECT_EQ(fields(at(0)), Fields(1, 3, 16));
  EXPECT_EQ(fields(at(1)), Fields(2, 3, 16));
  EXPECT_EQ(fields(at(2)), Fields(3, 3, 16));
  EXPECT_EQ(fields(at(3)), Fields(0, 4, 0));
  // The cursor after the group stands 16 into the bar, not 24.
  EXPECT_EQ(s.BarFill[0], 16);
  EXPECT_TRUE(scoreIntact(s, 0));
  EXPECT_EQ(drawing.pageDraw, 1);
  cursorToStart();
  editor.right();
  editor.right();
  EXPECT_EQ(s.BarFill[0], 0);
  editor.right();
  EXPECT_EQ(s.BarFill[0], 16);
}

TEST_F(TupletCommands, BackwardSelectionsAndSingleRecordsMakeGroupsToo) {
  for (int i = 0; i < 6; ++i) append(60 + i, 8);
  cursorToStart();
  moveRight(5);
  selectLeft(5);  // five records, made backwards
  tuplets.Change_renpu(2);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(fields(at(i)), Fields(i + 1, 5, 32)) << i;
  EXPECT_TRUE(scoreIntact(s, 0));

  cursorToStart();
  moveRight(5);
  selectRight(1);
  tuplets.Change_renpu(4);
  EXPECT_EQ(fields(at(5)), Fields(1, 1, 16));
  EXPECT_TRUE(scoreIntact(s, 0));
}

TEST_F(TupletCommands, NewGroupOverPartOfAnOldOneDissolvesItFirst) {
  for (int32_t p : {60, 62, 64, 65, 67}) append(p, 8);
  makeTuplet(first(), 3, 16);
  cursorToStart();
  editor.right();
  selectRight(3);  // members 2 and 3 and the next record
  tuplets.Change_renpu(8);
  EXPECT_EQ(fields(at(0)), Fields(0, 4, 0));
  EXPECT_EQ(fields(at(1)), Fields(1, 3, 8));
  EXPECT_EQ(fields(at(3)), Fields(3, 3, 8));
  EXPECT_EQ(fields(at(4)), Fields(0, 4, 0));
  EXPECT_TRUE(scoreIntact(s, 0));
}

TEST_F(TupletCommands, ReleaseOnTheLastMemberClearsTheWholeGroupOnly) {
  for (int i = 0; i < 7; ++i) append(60 + i, 8);
  makeTuplet(at(0), 3, 16);
  makeTuplet(at(3), 3, 16);
  cursorToStart();
  moveRight(2);
  selectRight(1);  // the first group's last member
  tuplets.Change_renpu(0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(fields(at(i)), Fields(0, 4, 0)) << i;
  EXPECT_EQ(fields(at(3)), Fields(1, 3, 16));  // begins at the range's stop: kept
  EXPECT_TRUE(scoreIntact(s, 0));
}

TEST_F(TupletCommands, ReleaseOfAGroupRunningOnPastTheRangeClearsItsRest) {
  for (int i = 0; i < 4; ++i) append(60 + i, 8);
  makeTuplet(at(1), 3, 16);
  cursorToStart();
  selectRight(2);  // a plain record and the group's first member
  tuplets.Change_renpu(0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(fields(at(i)), Fields(0, 4, 0)) << i;
  EXPECT_TRUE(scoreIntact(s, 0));
}

TEST_F(TupletCommands, WithoutASelectionOnlyThePageIsRedrawn) {
  append(60, 8);
  cursorToStart();
  tuplets.Change_renpu(4);
  tuplets.Change_renpu(0);
  EXPECT_EQ(fields(at(0)), Fields(0, 4, 0));
  EXPECT_EQ(drawing.pageDraw, 2);
}

TEST_F(TupletCommands, MoreRecordsThanTheFilesKeepAreRefusedAndTheSelectionStays) {
  for (int i = 0; i < kMaxTupletMembers + 1; ++i) append(60, 1);
  cursorToStart();
  selectRight(kMaxTupletMembers + 1);
  EXPECT_FALSE(tuplets.Change_renpu(4));
  EXPECT_EQ(s.SelActive, 1);
  EXPECT_EQ(fields(at(0)), Fields(0, 4, 0));
}

// Regression: dissolving a group at the cursor left the bar position counted
// with the old span, so the page redraw started from the wrong record.
TEST_F(TupletCommands, EditsInsideAGroupRecountTheBarPosition) {
  for (int round = 0; round < 4; ++round) {
    s.releaseLists();
    s.createLists();
    for (int32_t p : {60, 62, 64, 65}) append(p, 8);
    makeTuplet(first(), 3, 16);
    cursorToStart();
    editor.right();
    editor.right();  // before the third member
    ASSERT_EQ(s.BarFill[0], 0);
    switch (round) {
      case 0:
        editor.InsertOnpu(67, 8);
        break;
      case 1:
        editor.DeleteOnpu();
        break;
      case 2:
        editor.left();
        s.InsertMode = 0;
        editor.InsertOnpu(67, 8);  // overlay on the second member
        break;
      case 3:
        selectRight(1);
        editor.Copy1Click();
        editor.left();
        editor.Paste1Click();
        break;
    }
    EXPECT_TRUE(scoreIntact(s, 0)) << round;
    EXPECT_EQ(fields(first()), Fields(0, 4, 0)) << round;
  }
}

// Regression: a partial group right after a complete one took the complete
// group with it when dissolved.
TEST_F(TupletCommands, DissolvingAPartialGroupLeavesTheGroupBeforeIt) {
  for (int i = 0; i < 6; ++i) append(60 + i, 8);
  makeTuplet(at(0), 3, 16);
  makeTuplet(at(3), 3, 16);
  cursorToStart();
  moveRight(3);
  editor.DeleteOnpu();  // the second group's first member; its rest is dissolved
  moveRight(1);
  editor.DeleteOnpu();
  EXPECT_EQ(fields(at(0)), Fields(1, 3, 16));
  EXPECT_EQ(fields(at(2)), Fields(3, 3, 16));
  EXPECT_EQ(fields(at(3)), Fields(0, 4, 0));

  // The same with members left by a cut: only they are cleared.
  s.releaseLists();
  s.createLists();
  for (int i = 0; i < 6; ++i) append(60 + i, 8);
  makeTuplet(at(0), 3, 16);
  makeTuplet(at(3), 3, 16);
  cursorToStart();
  moveRight(3);
  selectRight(1);
  editor.Cut1Click();  // leaves members 2 and 3 of the second group
  ASSERT_EQ(fields(at(3)), Fields(2, 3, 16));
  editor.right();
  editor.InsertOnpu(72, 8);  // inside the partial group
  EXPECT_EQ(fields(at(0)), Fields(1, 3, 16));
  EXPECT_EQ(fields(at(2)), Fields(3, 3, 16));
  EXPECT_EQ(fields(at(3)), Fields(0, 4, 0));
  EXPECT_TRUE(scoreIntact(s, 0));
}

}  // namespace
}  // namespace kelvara::testing
