#include <gtest/gtest.h>

#include "score_fixture.h"

namespace kelvara::testing {
namespace {

using Cursor = ScoreTest;

TEST_F(Cursor, EightEighthsFillOneBarAndLeftGoesBack) {
  for (int i = 0; i < 8; ++i) append(60 + i, 8);
  cursorToStart();
  moveRight(8);
  EXPECT_EQ(s.BarNo[0], 2);
  EXPECT_EQ(s.BarFill[0], 0);
  EXPECT_EQ(s.CursorX[0], 210 + 8 * 70);
  EXPECT_TRUE(isEndMarker(*cur()));
  editor.left();
  EXPECT_EQ(s.BarNo[0], 1);
  EXPECT_EQ(s.BarFill[0], 56);
  EXPECT_EQ(s.CursorX[0], 210 + 7 * 70);
}

TEST_F(Cursor, BarCarryInThreeFourAndSixEight) {
  for (auto [num, den] : {std::pair{3, 4}, std::pair{6, 8}}) {
    s.releaseLists();
    s.createLists();
    s.TimeNum = num;
    s.TimeDen = den;
    for (int i = 0; i < 4; ++i) append(60, 16);
    cursorToStart();
    moveRight(4);
    EXPECT_EQ(s.BarNo[0], 2) << num << "/" << den;
    EXPECT_EQ(s.BarFill[0], 16) << num << "/" << den;
  }
}

TEST_F(Cursor, WholeNoteInThreeFourCarriesOneBar) {
  s.TimeNum = 3;
  append(60, 64);
  cursorToStart();
  editor.right();
  EXPECT_EQ(s.BarNo[0], 2);
  EXPECT_EQ(s.BarFill[0], 16);
  editor.left();
  EXPECT_EQ(s.BarNo[0], 1);
  EXPECT_EQ(s.BarFill[0], 0);
}

TEST_F(Cursor, MovesKeepAccidentalStateByAccDelta) {
  TOnpu* a = append(66, 8);
  a->AccDelta[0] = 1;  // F becomes sharp
  TOnpu* b = append(65, 8);
  b->AccDelta[0] = -1;  // and natural again
  cursorToStart();
  editor.right();
  EXPECT_EQ(s.AccState[0], 1);
  editor.right();
  EXPECT_EQ(s.AccState[0], 0);
  editor.left();
  EXPECT_EQ(s.AccState[0], 1);
}

TEST_F(Cursor, LeftOnAnOpenRecordOnlyClosesIt) {
  append(60, 8);
  cursorToStart();
  editor.InsertOnpu(62, 8);  // open record before the first note
  TOnpu* open = cur();
  ASSERT_EQ(open->Closed, 0);
  editor.left();
  EXPECT_EQ(cur(), open);
  EXPECT_EQ(open->Closed, 1);
  EXPECT_EQ(s.CursorX[0], 210);
  editor.left();  // now before the start marker's successor: nothing moves
  EXPECT_EQ(cur(), open);
}

TEST_F(Cursor, EndsDoNothingButThePageFollow) {
  append(60, 8);
  cursorToStart();
  editor.left();
  EXPECT_EQ(cur(), first());
  EXPECT_EQ(s.CursorX[0], 210);
  editor.right();
  editor.right();
  EXPECT_TRUE(isEndMarker(*cur()));
  EXPECT_EQ(s.BarFill[0], 8);
  EXPECT_EQ(s.CursorX[0], 280);
}

TEST_F(Cursor, RightClosesWhatItPassesAndRightshiftOnlyOpenRecords) {
  cursorToStart();
  editor.InsertOnpu(60, 8);
  TOnpu* n = cur();
  editor.rightshift();
  EXPECT_EQ(n->Closed, 1);
  EXPECT_TRUE(isEndMarker(*cur()));
  EXPECT_EQ(s.BarFill[0], 8);
  editor.rightshift();  // closed end marker: returns at once
  EXPECT_EQ(s.BarFill[0], 8);
  EXPECT_EQ(s.CursorX[0], 280);
}

TEST_F(Cursor, PageFollowsIntoBarSeventeenExceptAtItsVeryStart) {
  // 16 bars of whole notes, then an eighth and another.
  for (int i = 0; i < 16; ++i) append(60, 64);
  append(62, 8);
  append(64, 8);
  cursorToStart();
  moveRight(16);
  EXPECT_EQ(s.BarNo[0], 17);
  EXPECT_EQ(s.BarFill[0], 0);
  EXPECT_EQ(s.PageFirstBar, 1);  // exactly at the start of bar 17: the page stays
  EXPECT_EQ(drawing.pageDraw, 0);
  editor.right();
  EXPECT_EQ(s.PageFirstBar, 17);
  EXPECT_EQ(drawing.pageDraw, 1);
  editor.left();  // back to the start of bar 17: stays on the page of bar 17
  EXPECT_EQ(s.PageFirstBar, 17);
  editor.left();  // into bar 16
  EXPECT_EQ(s.PageFirstBar, 1);
  EXPECT_EQ(drawing.pageDraw, 2);
}

TEST_F(Cursor, ScrollFollowKeepsTheCursorInView) {
  view.setViewWidth(3000);
  for (int i = 0; i < 12; ++i) append(60, 8);
  cursorToStart();
  moveRight(6);  // x = 630 > 600
  EXPECT_EQ(view.scrollX(), 630 - 550);
  moveRight(6);  // x 1050: each step past 600 from the scroll position scrolls on
  EXPECT_EQ(view.scrollX(), 1050 - 550);
  for (int i = 0; i < 12; ++i) editor.left();  // x 210: 100 from the left margin scrolls back
  EXPECT_EQ(view.scrollX(), 210 - 150);
}

TEST_F(Cursor, MovesTakeTheDrawnMarkOff) {
  append(60, 8);
  cursorToStart();
  editor.toggleCursorMark();
  ASSERT_EQ(s.CursorOff, 0);
  ASSERT_EQ(view.invertedLines().size(), 1u);
  editor.right();
  EXPECT_EQ(s.CursorOff, 1);
  EXPECT_TRUE(view.invertedLines().empty());
}

TEST_F(Cursor, OpenRecordMarkIsABoxAndErasesCleanly) {
  cursorToStart();
  editor.InsertOnpu(60, 8);
  editor.toggleCursorMark();
  EXPECT_EQ(view.invertedLines().size(), 4u);
  editor.eraseCursorMark();
  EXPECT_TRUE(view.invertedLines().empty());
  EXPECT_EQ(s.CursorOff, 1);
}

TEST_F(Cursor, WorkPartSwitchKeepsEachPartsCursor) {
  append(60, 16);
  cursorToStart();
  editor.right();
  editor.selectWorkPart(9);
  EXPECT_EQ(s.WorkPart, 10);
  EXPECT_EQ(s.BarFill[10], 0);
  s.PartBaseKey[9] = 48;
  editor.selectWorkPart(10);
  EXPECT_EQ(s.WorkPart, 9);
  EXPECT_EQ(view.octaveLabel(),
            "[↓キ－]　←                         3                       → [↑キ－]");
  editor.selectWorkPart(0);
  EXPECT_EQ(s.WorkPart, 0);
  EXPECT_EQ(s.BarFill[0], 16);
  EXPECT_TRUE(isEndMarker(*cur()));
  EXPECT_EQ(s.Busy, 0);
  EXPECT_EQ(drawing.redrawPage, 3);
  EXPECT_GE(view.focusCount(), 3);
}

TEST_F(Cursor, WorkPartSwitchDropsTheSelection) {
  append(60, 16);
  s.SelActive = 1;
  s.SelAnchorNode = first();
  editor.selectWorkPart(1);
  EXPECT_EQ(s.SelActive, 0);
}

}  // namespace
}  // namespace kelvara::testing
