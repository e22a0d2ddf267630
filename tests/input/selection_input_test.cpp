// The selection made with keys and mouse on real pages, and the commands
// that work on it.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor_fixture.h"

namespace kelvara::testing {
namespace {

class SelectionInput : public EditorTest {};

// Regression: after the next-page arrow, Shift+Right took the anchor's page
// from the page shown; the range came out reversed and Delete walked past the
// end marker.
TEST_F(SelectionInput, NextPageArrowThenShiftRightDeletesOneRecord) {
  fill(80, 16);  // 20 bars of quarters
  editor.renderer().BitBtn10Click();
  ASSERT_EQ(s().PageFirstBar, 17);
  shiftPress(vk::kRight);
  ASSERT_EQ(s().SelActive, 1);
  EXPECT_EQ(s().PageFirstBar, 1);  // the cursor's page is shown again
  TOnpu* second = at(1);
  press(vk::kDelete);
  EXPECT_EQ(recordCount(), 79);
  EXPECT_EQ(first(), second);
  EXPECT_EQ(cur(), second);
  EXPECT_TRUE(scoreIntact(s(), 0));
}

// Regression: after the previous-page arrow, Shift+Left copied every record
// to the end (19 for one) and Ctrl+X crashed.
TEST_F(SelectionInput, PreviousPageArrowThenShiftLeftCopiesAndCutsOneRecord) {
  fill(80, 16);
  for (int i = 0; i < 66; ++i) press(vk::kRight);
  ASSERT_EQ(s().PageFirstBar, 17);
  editor.renderer().BitBtn9Click();
  ASSERT_EQ(s().PageFirstBar, 1);
  const int32_t before = at(65)->Pitch[0];
  shiftPress(vk::kLeft);
  ctrlPress('C');
  EXPECT_EQ(clipboardCount(), 1);
  EXPECT_EQ(s().ClipHead->Next->Pitch[0], before);
  EXPECT_TRUE(scoreIntact(s(), 0));

  editor.renderer().BitBtn9Click();
  const int32_t cutPitch = at(64)->Pitch[0];
  shiftPress(vk::kLeft);
  ctrlPress('X');
  EXPECT_EQ(recordCount(), 79);
  EXPECT_EQ(clipboardCount(), 1);
  EXPECT_EQ(s().ClipHead->Next->Pitch[0], cutPitch);
  EXPECT_TRUE(scoreIntact(s(), 0));
  ctrlPress('V');
  EXPECT_EQ(recordCount(), 80);
  EXPECT_TRUE(scoreIntact(s(), 0));
}

TEST_F(SelectionInput, SelectionsAcrossThePageBoundaryBothWays) {
  fill(80, 16);
  for (int i = 0; i < 62; ++i) press(vk::kRight);  // bar 16, third quarter
  for (int i = 0; i < 4; ++i) shiftPress(vk::kRight);
  EXPECT_EQ(s().SelAnchorPage, 1);
  EXPECT_EQ(s().SelEndPage, 17);
  // On page 17 the frame runs from the music's start to the end's line.
  const std::vector<Line>& lines = view.invertedLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), Line{kMusicLeft, 0, s().SelEndX, 0}),
            lines.end());
  ctrlPress('C');
  EXPECT_EQ(clipboardCount(), 4);
  // Backwards from page 17 into page 1: eight records.
  for (int i = 0; i < 8; ++i) shiftPress(vk::kLeft);
  EXPECT_EQ(s().SelAnchorPage, 17);
  EXPECT_EQ(s().SelEndPage, 1);
  press(vk::kDelete);
  EXPECT_EQ(recordCount(), 72);
  EXPECT_TRUE(scoreIntact(s(), 0));
}

TEST_F(SelectionInput, ClickPutsTheCursorOnTheRecordUnderThePointer) {
  fill(6, 8);
  click(middleOf(at(3)));
  EXPECT_EQ(cur(), at(3));
  EXPECT_EQ(s().BarFill[0], 24);
  EXPECT_EQ(s().CursorX[0], kMusicLeft + 3 * kCellWidth);
  click(kMusicLeft + 6 * kCellWidth + 200);  // right of the last record
  EXPECT_TRUE(isEndMarker(*cur()));
  click(5);  // left of the first record
  EXPECT_EQ(cur(), at(0));
  EXPECT_TRUE(scoreIntact(s(), 0));
}

TEST_F(SelectionInput, DragsBothWaysAndShiftClickSelectUpToTheLaterRecord) {
  fill(6, 8);
  drag(middleOf(at(1)), middleOf(at(4)));
  auto range = editor.score().selection().ordered();
  ASSERT_TRUE(range);
  EXPECT_EQ(range->first, at(1));
  EXPECT_EQ(range->stop, at(4));

  drag(middleOf(at(4)), middleOf(at(1)));
  range = editor.score().selection().ordered();
  ASSERT_TRUE(range);
  EXPECT_EQ(range->first, at(1));
  EXPECT_EQ(range->stop, at(4));
  EXPECT_FALSE(range->anchorFirst);

  // Pressing and letting go without moving selects nothing; back onto the
  // anchor clears the selection and its frame.
  click(middleOf(at(2)));
  EXPECT_EQ(s().SelActive, 0);
  EXPECT_TRUE(view.invertedLines().empty() || s().CursorOff == 0);
  drag(middleOf(at(2)), middleOf(at(2)));
  EXPECT_EQ(s().SelActive, 0);

  click(middleOf(at(1)));
  click(middleOf(at(3)), /*shift=*/true);
  range = editor.score().selection().ordered();
  ASSERT_TRUE(range);
  EXPECT_EQ(range->count, 2);
  click(middleOf(at(1)), /*shift=*/true);  // back onto the anchor: nothing
  EXPECT_EQ(s().SelActive, 0);

  click(middleOf(at(1)));
  click(middleOf(at(4)), true);
  editor.editMenu().Delete1Click();
  EXPECT_EQ(recordCount(), 3);
  EXPECT_TRUE(scoreIntact(s(), 0));
}

TEST_F(SelectionInput, AClickClosesAnOpenChordAndBusyDropsIt) {
  press('C');
  ASSERT_EQ(cur()->Closed, 0);
  TOnpu* chord = cur();
  click(5);
  EXPECT_EQ(chord->Closed, 1);

  press(vk::kRight);
  press('V');
  ASSERT_EQ(cur()->Closed, 0);
  editor.mouse().Image1MouseDown(MouseButton::Right, false, 5);
  EXPECT_EQ(cur()->Closed, 1);  // the edit menu never works on an open chord

  TOnpu* before = cur();
  s().Busy = 1;
  click(5);
  editor.mouse().Image1MouseDown(MouseButton::Left, true, 5);
  EXPECT_EQ(cur(), before);
  EXPECT_EQ(s().MouseHeld, 0);
  s().Busy = 0;
}

TEST_F(SelectionInput, MouseOnAnotherPageAfterThePageArrows) {
  fill(80, 16);
  editor.renderer().BitBtn10Click();
  // Shift + click on page 17 while the cursor stands on page 1.
  TOnpu* target = at(66);
  click(middleOf(target), /*shift=*/true);
  EXPECT_EQ(cur(), target);
  EXPECT_EQ(s().SelAnchorPage, 1);
  EXPECT_EQ(s().SelEndPage, 17);
  EXPECT_TRUE(scoreIntact(s(), 0));
  auto range = editor.score().selection().ordered();
  ASSERT_TRUE(range);
  EXPECT_EQ(range->count, 66);
  editor.editMenu().Cut1Click();
  EXPECT_EQ(clipboardCount(), 66);
  EXPECT_EQ(recordCount(), 14);
  EXPECT_EQ(cur(), first());
  EXPECT_TRUE(scoreIntact(s(), 0));
}

TEST_F(SelectionInput, PercussionPadAndPartSwitchDropTheSelection) {
  fill(4, 8);
  shiftPress(vk::kRight);
  ASSERT_EQ(s().SelActive, 1);
  editor.input().percussionButtonClick(0);
  EXPECT_EQ(s().SelActive, 0);
  EXPECT_EQ(recordCount(), 5);
  EXPECT_TRUE(scoreIntact(s(), 0));

  shiftPress(vk::kRight);
  ASSERT_EQ(s().SelActive, 1);
  editor.score().selectWorkPart(1);
  EXPECT_EQ(s().SelActive, 0);
  editor.editMenu().Delete1Click();
  editor.score().selectWorkPart(0);
  EXPECT_EQ(recordCount(), 5);
}

TEST_F(SelectionInput, EditMenuItemStatesFollowTheSelection) {
  fill(3, 8);
  EditMenuItems items = editor.editMenu().itemStates();
  EXPECT_TRUE(items.paste);
  EXPECT_FALSE(items.cut || items.copy || items.remove || items.renpu || items.syusyoku);
  shiftPress(vk::kRight);
  items = editor.editMenu().itemStates();
  EXPECT_TRUE(items.cut && items.copy && items.paste && items.remove && items.renpu &&
              items.syusyoku);
}

TEST_F(SelectionInput, TupletAndModifierCommandsThroughTheMenu) {
  fill(8, 8);
  shiftPress(vk::kRight);
  shiftPress(vk::kRight);
  shiftPress(vk::kRight);
  editor.editMenu().Ren_4Click();
  EXPECT_EQ(at(2)->RenIndex, 3);
  EXPECT_EQ(s().BarFill[0], 16);
  EXPECT_TRUE(scoreIntact(s(), 0));
  EXPECT_TRUE(s().Modified);

  for (int i = 0; i < 3; ++i) shiftPress(vk::kLeft);
  dialogs.velocities.push_back({"40", "100"});
  editor.editMenu().Syu_velClick(dialogs);
  EXPECT_EQ(at(0)->Velocity, 40);
  EXPECT_EQ(at(2)->Velocity, 40);
  EXPECT_EQ(at(3)->Velocity, 100);  // stop: not in the range
  EXPECT_GT(view.focusCount(), 0);

  press(vk::kLeft);
  shiftPress(vk::kRight);
  editor.editMenu().Ren_reClick();
  EXPECT_EQ(at(0)->RenIndex, 0);
  EXPECT_EQ(at(2)->RenIndex, 0);
  EXPECT_TRUE(scoreIntact(s(), 0));
}

}  // namespace
}  // namespace kelvara::testing
