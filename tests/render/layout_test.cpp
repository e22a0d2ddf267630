#include "render_fixture.h"
#include "score/bar_math.h"
#include "support/tuplets.h"

namespace kelvara::testing {
namespace {

using Layout = RenderTest;

TEST_F(Layout, EmptyPartDrawsNothingAndDisablesBothPageButtons) {
  EXPECT_EQ(renderer.PageDraw(), 210);
  EXPECT_EQ(s.EndX, 210);
  EXPECT_FALSE(view.previousPageEnabled());
  EXPECT_FALSE(view.nextPageEnabled());
  EXPECT_TRUE(isEndMarker(*s.PageNode));
}

TEST_F(Layout, PiecesFollowBarPositionAndTimeSignature) {
  for (int i = 0; i < 7; ++i) enter(64, 8);
  TOnpu* q = enter(65, 16);  // at fill 56: eighth, bar line, eighth
  EXPECT_EQ(q->Width, 140);
  TOnpu* dotted = enter(67, 24);  // at fill 8 of bar 2: quarter tied to an eighth
  EXPECT_EQ(dotted->Width, 140);
  EXPECT_EQ(enter(67, 64)->Width, 140);  // fill 32: half, bar line, half
}

TEST_F(Layout, ThreeFourNeverUsesAWholeNoteGlyph) {
  setSignature(7, 3, 4);
  TOnpu* whole = enter(60, 64);  // half, quarter, bar line, quarter
  EXPECT_EQ(whole->Width, 70 * 3);
  EXPECT_EQ(s.BarNo[0], 2);
  EXPECT_EQ(s.BarFill[0], 16);
}

TEST_F(Layout, TupletMembersAreDrawnWithTheGroupSpan) {
  TOnpu* a = enter(60, 8);
  enter(62, 8);
  enter(64, 8);
  makeTuplet(s, a, 3, 16);
  renderer.PageDraw();
  EXPECT_EQ(a->Width, 70);
  EXPECT_EQ(a->Next->Next->Width, 70);
  EXPECT_EQ(s.BarFill[0], 16);  // the cursor after the group
  EXPECT_EQ(s.CursorX[0], 210 + 3 * 70);
}

TEST_F(Layout, AccidentalsAreRecordedAsDeltasAndLastUntilThePageEnds) {
  TOnpu* sharp = enter(66, 64);
  enter(60, 64);
  enter(60, 64);
  TOnpu* natural = enter(65, 64);
  EXPECT_EQ(sharp->AccDelta[0], 1);
  EXPECT_EQ(natural->AccDelta[0], -1);
  EXPECT_EQ(s.AccState[0], 0);
  editor.left();
  EXPECT_EQ(s.AccState[0], 1);  // back before the F: the sharp is in force

  setSignature(6, 4, 4);  // G major: F sharp needs no sign
  EXPECT_EQ(sharp->AccDelta[0], 0);
  EXPECT_EQ(natural->AccDelta[0], -1);

  setSignature(8, 4, 4);  // F major: 70 is B flat
  TOnpu* bflat = enter(70, 16);
  EXPECT_EQ(bflat->AccDelta, (std::array<int32_t, 7>{}));
  setSignature(1, 4, 4);  // F sharp major: F is E sharp, no sign
  EXPECT_EQ(natural->AccDelta, (std::array<int32_t, 7>{}));
}

TEST_F(Layout, PageDrawKeepsTheCursorsAccidentalState) {
  // Regression: a full redraw used to leave the key signature's state even
  // with the cursor after an accidental, so the next note got a wrong sign.
  enter(66, 16);
  enter(60, 16);
  renderer.PageDraw();
  EXPECT_EQ(s.AccState[0], 1);
  TOnpu* f = enter(65, 16);
  EXPECT_EQ(f->AccDelta[0], -1);  // F after F sharp: natural sign
}

TEST_F(Layout, WholeNoteFromBarSixteenShowsItsLastCellOnTheNextPage) {
  for (int i = 0; i < 15; ++i) enter(0, 64);
  TOnpu* straddler = enter(67, 128);
  TOnpu* after = enter(69, 16);
  ASSERT_EQ(s.PageFirstBar, 17);
  EXPECT_EQ(s.PageNode, straddler);
  EXPECT_EQ(straddler->Width, 140);
  EXPECT_EQ(s.PageX, 210 + 70 - 140);
  EXPECT_EQ(s.PageBar, 16);
  EXPECT_EQ(s.CursorX[0], 210 + 70 + after->Width);
  EXPECT_TRUE(view.previousPageEnabled());
  EXPECT_FALSE(view.nextPageEnabled());
}

TEST_F(Layout, RecordRunningPastThePageIsDrawnWholeAndEnablesNext) {
  for (int i = 0; i < 15; ++i) enter(0, 64);
  TOnpu* last = enter(60, 32);
  TOnpu* longOne = enter(62, 64);  // from the middle of bar 16 into bar 17
  enter(64, 16);
  renderer.BitBtn9Click();
  EXPECT_EQ(s.PageFirstBar, 1);
  EXPECT_EQ(s.PageEndNode[0], longOne->Next);
  EXPECT_TRUE(view.nextPageEnabled());
  EXPECT_FALSE(view.previousPageEnabled());
  EXPECT_EQ(s.EndX, 210 + 15 * 70 + last->Width + longOne->Width);
}

TEST_F(Layout, PageButtonsShowAnotherPageButKeepTheCursor) {
  for (int i = 0; i < 20; ++i) enter(60, 64);
  TOnpu* cursor = cur();
  const int32_t bar = s.BarNo[0];
  renderer.BitBtn9Click();
  EXPECT_EQ(s.PageFirstBar, 1);
  EXPECT_EQ(cur(), cursor);
  EXPECT_EQ(s.BarNo[0], bar);
  renderer.BitBtn10Click();
  EXPECT_EQ(s.PageFirstBar, 17);
  EXPECT_EQ(cur(), cursor);
}

TEST_F(Layout, CursorAtTheStartOfBarSeventeenStaysAtTheEndOfPageOne) {
  for (int i = 0; i < 16; ++i) enter(60, 64);
  ASSERT_EQ(s.BarNo[0], 17);
  ASSERT_EQ(s.BarFill[0], 0);
  // Entering moved the page to the cursor's bar: bar 17 is empty.
  renderer.BitBtn9Click();
  EXPECT_EQ(s.PageFirstBar, 1);
  EXPECT_EQ(s.CursorX[0], s.EndX);  // the cursor mark stands at the page's end
  EXPECT_EQ(s.EndX, 210 + 16 * 70);
}

TEST_F(Layout, WideningGrowsByExactly350AtATime) {
  const int32_t before = view.viewWidth();
  for (int i = 0; i < 8; ++i) enter(60, 8);
  EXPECT_EQ(view.viewWidth() % 350, before % 350);
  EXPECT_GE(view.viewWidth(), 210 + 8 * 70 + 290 - 200);
  EXPECT_EQ(renderer.picture().width(), view.viewWidth());
  // The picture never shrinks until a new score or a load resets it.
  const int32_t wide = view.viewWidth();
  editor.DeleteOnpu();
  renderer.PageDraw();
  EXPECT_EQ(view.viewWidth(), wide);
  renderer.resetPictureWidth();
  EXPECT_EQ(view.viewWidth(), 742);
  EXPECT_EQ(renderer.picture().width(), 742);
}

TEST_F(Layout, KeyPressThatWidensShowsWhatAFullRedrawShows) {
  // The redraw after a widening passes over what the first drawing finished.
  for (int i = 0; i < 40; ++i) enter(60 + i % 12, 4);
  while (cur()->Prev->Pitch[0] != kStartMarker) editor.left();
  // One pixel narrower than the page needs: the key press widens the picture.
  const int32_t narrow = view.viewWidth() - 350 + 1;
  renderer.picture().setWidth(narrow);
  view.setViewWidth(narrow);
  enter(72, 4);
  ASSERT_GT(view.viewWidth(), narrow);
  const QImage afterKeyPress = renderer.picture().image().copy();
  renderer.PageDraw();
  EXPECT_EQ(renderer.picture().image(), afterKeyPress);
}

TEST_F(Layout, BarStepDrawsABarLineEvery48InThreeFour) {
  setSignature(7, 3, 4);
  for (int i = 0; i < 6; ++i) enter(60, 16);
  EXPECT_EQ(s.BarNo[0], 3);
  EXPECT_EQ(s.LastBarLineX, 210 + 6 * 70);
  // The bar line tile's line is the cell's last pixel column.
  const QImage& picture = renderer.picture().image();
  EXPECT_LT(picture.pixelColor(210 + 3 * 70 - 1, 150).value(), 80);
  EXPECT_GT(picture.pixelColor(210 + 2 * 70 - 1, 150).value(), 200);
}

TEST_F(Layout, EditingRedrawsFromTheCursorOnly) {
  for (int i = 0; i < 4; ++i) enter(60, 16);
  TOnpu* second = first()->Next;
  editor.left();
  editor.left();
  editor.left();
  ASSERT_EQ(cur(), second);
  second->Width = 999;  // values only a redraw of that record would fix
  first()->Width = 555;
  editor.InsertOnpu(72, 16);  // before the second record
  editor.refreshAfterInput();
  EXPECT_EQ(second->Width, 70);
  EXPECT_EQ(first()->Width, 555);
  EXPECT_EQ(s.CursorX[0], 280);
}

TEST_F(Layout, DeletingWipesTheCellsTheRecordLeft) {
  enter(60, 16);
  enter(79, 16);
  editor.left();
  editor.DeleteOnpu();
  // Nothing of the deleted note remains where it stood.
  const QImage& picture = renderer.picture().image();
  for (int y = 40; y < 110; ++y) {
    for (int x = 280; x < 350; ++x) {
      ASSERT_GT(qGray(picture.pixel(x, y)), 128) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace kelvara::testing
