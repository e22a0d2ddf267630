#include <gtest/gtest.h>

#include "score_fixture.h"
#include "support/score_checks.h"

namespace kelvara::testing {
namespace {

class Selection : public ScoreTest {
 protected:
  void shiftRight() {
    editor.selection().grab();
    editor.right();
    editor.selection().extendToCursor();
  }
  void shiftLeft() {
    editor.selection().grab();
    editor.left();
    editor.selection().extendToCursor();
  }
};

// Regression: zero-length records (from loaded files) put both ends on the
// same x; ordered by x the backward range ran from the anchor past the end
// marker.
TEST_F(Selection, ZeroLengthRecordsAreOrderedByTheirPlaceInTheList) {
  append(60, 8);
  for (int i = 0; i < 2; ++i) {
    TOnpu* r = append(62 + i, 0);
    r->Width = 0;
  }
  append(67, 8);
  cursorToStart();
  moveRight(3);
  shiftLeft();
  shiftLeft();
  ASSERT_EQ(s.SelActive, 1);
  ASSERT_EQ(s.SelAnchorX, s.SelEndX);
  const auto range = editor.selection().ordered();
  ASSERT_TRUE(range.has_value());
  EXPECT_EQ(range->count, 2);
  EXPECT_FALSE(range->anchorFirst);
  editor.Delete1Click();
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60, 67}));
  EXPECT_TRUE(scoreIntact(s, 0));
}

TEST_F(Selection, ForwardAndBackwardRangesHoldTheSameRecords) {
  for (int i = 0; i < 5; ++i) append(60 + i, 8);
  cursorToStart();
  editor.right();
  for (int i = 0; i < 3; ++i) shiftRight();
  const auto forward = editor.selection().ordered();
  editor.selection().drop();
  for (int i = 0; i < 3; ++i) shiftLeft();
  const auto backward = editor.selection().ordered();
  ASSERT_TRUE(forward && backward);
  EXPECT_EQ(forward->first, backward->first);
  EXPECT_EQ(forward->stop, backward->stop);
  EXPECT_EQ(forward->count, 3);
  EXPECT_TRUE(forward->anchorFirst);
  EXPECT_FALSE(backward->anchorFirst);
  EXPECT_EQ(forward->earlyX, backward->earlyX);
}

TEST_F(Selection, MovingBackOntoTheAnchorLeavesNoSelection) {
  append(60, 8);
  append(62, 8);
  cursorToStart();
  shiftRight();
  EXPECT_EQ(s.SelActive, 1);
  shiftLeft();
  EXPECT_EQ(s.SelActive, 0);
  editor.Delete1Click();
  EXPECT_EQ(leadPitches().size(), 2u);
}

TEST_F(Selection, EndsOutsideTheWorkPartAreNeverApplied) {
  append(60, 8);
  TOnpu* other = append(72, 8, 1);
  cursorToStart();
  shiftRight();
  s.SelAnchorNode = other;  // as a stale selection from another part would be
  EXPECT_FALSE(editor.selection().ordered().has_value());
  editor.Cut1Click();
  EXPECT_EQ(s.SelActive, 0);
  EXPECT_EQ(leadPitches(0), (std::vector<int32_t>{60}));
  EXPECT_EQ(leadPitches(1), (std::vector<int32_t>{72}));
  EXPECT_EQ(s.ClipHead->Closed, 0);
}

TEST_F(Selection, CopyOfEveryDirectionCopiesTheRangeOnly) {
  for (int i = 0; i < 6; ++i) append(60 + i, 8);
  for (bool forwards : {true, false}) {
    cursorToStart();
    editor.right();
    if (forwards) {
      shiftRight();
      shiftRight();
    } else {
      moveRight(2);
      shiftLeft();
      shiftLeft();
    }
    editor.Copy1Click();
    int copied = 0;
    for (TOnpu* r = s.ClipHead; r->Closed == 1; r = r->Next) ++copied;
    EXPECT_EQ(copied, 2) << forwards;
    EXPECT_EQ(s.ClipHead->Next->Pitch[0], 61) << forwards;
  }
}

}  // namespace
}  // namespace kelvara::testing
