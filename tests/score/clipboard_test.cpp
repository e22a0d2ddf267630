#include <gtest/gtest.h>

#include "score/clipboard.h"
#include "score_fixture.h"

namespace kelvara::testing {
namespace {

class Clipboard : public ScoreTest {
 protected:
  // Selects from the cursor `count` records to the right, as Shift+Right does.
  void selectRight(int count) {
    s.SelAnchorPage = s.PageFirstBar;
    s.SelAnchorNode = cur();
    s.SelAnchorX = s.CursorX[0];
    moveRight(count);
    s.SelEndPage = s.PageFirstBar;
    s.SelEndNode = cur();
    s.SelEndX = s.CursorX[0];
    s.SelActive = 1;
  }
  void selectLeft(int count) {
    s.SelAnchorPage = s.PageFirstBar;
    s.SelAnchorNode = cur();
    s.SelAnchorX = s.CursorX[0];
    for (int i = 0; i < count; ++i) editor.left();
    s.SelEndPage = s.PageFirstBar;
    s.SelEndNode = cur();
    s.SelEndX = s.CursorX[0];
    s.SelActive = 1;
  }
};

TEST_F(Clipboard, CopyThenPasteTwiceInsertsBeforeTheCursor) {
  for (int32_t p : {60, 62, 64, 65, 67}) append(p, 8);
  cursorToStart();
  selectRight(3);
  editor.Copy1Click();
  EXPECT_EQ(s.SelActive, 0);
  EXPECT_EQ(s.ClipCopied, 1);
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60, 62, 64, 65, 67}));  // unchanged
  moveRight(2);                                                          // before the end marker
  editor.Paste1Click();
  EXPECT_EQ(cur()->Pitch[0], 60);
  editor.Paste1Click();
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60, 62, 64, 65, 67, 60, 62, 64, 60, 62, 64}));
  EXPECT_EQ(s.BarFill[0], 40);  // the cursor stays where it was
}

TEST_F(Clipboard, CutForwardsAndBackwardsLeaveTheSameState) {
  for (int direction = 0; direction < 2; ++direction) {
    s.releaseLists();
    s.createLists();
    for (int32_t p : {60, 62, 64, 65, 67}) append(p, 8);
    cursorToStart();
    editor.right();
    if (direction == 0) {
      selectRight(3);
    } else {
      moveRight(3);
      selectLeft(3);
    }
    editor.Cut1Click();
    EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60, 67})) << direction;
    EXPECT_EQ(cur()->Pitch[0], 67) << direction;
    EXPECT_EQ(s.BarNo[0], 1) << direction;
    EXPECT_EQ(s.BarFill[0], 8) << direction;
    EXPECT_EQ(s.CursorX[0], 280) << direction;
  }
}

TEST_F(Clipboard, PastingIntoATripletDissolvesItButNotBeforeIt) {
  append(72, 16);
  TOnpu* a = append(60, 8);
  TOnpu* b = append(62, 8);
  append(64, 8);
  makeTuplet(a, 3, 16);
  cursorToStart();
  selectRight(1);
  editor.Copy1Click();   // the quarter note
  editor.Paste1Click();  // before the triplet's first member: kept
  EXPECT_EQ(a->RenIndex, 1);
  while (cur() != b) editor.right();
  editor.Paste1Click();
  EXPECT_EQ(a->RenIndex, 0);
  EXPECT_EQ(b->RenIndex, 0);
}

TEST_F(Clipboard, CopiedTupletMembersKeepTheirValues) {
  TOnpu* a = append(60, 8);
  append(62, 8);
  append(64, 8);
  makeTuplet(a, 3, 16);
  cursorToStart();
  selectRight(2);  // the first two of three members
  editor.Copy1Click();
  moveRight(1);
  editor.Paste1Click();
  EXPECT_EQ(cur()->RenIndex, 1);
  EXPECT_EQ(cur()->Next->RenIndex, 2);
  EXPECT_EQ(cur()->Next->RenCount, 3);
  EXPECT_EQ(cur()->Next->RenLength, 16);
}

TEST_F(Clipboard, CopyInOnePartPasteInAnother) {
  append(60, 8);
  append(62, 8);
  cursorToStart();
  selectRight(2);
  editor.Copy1Click();
  editor.selectWorkPart(1);
  editor.Paste1Click();
  EXPECT_EQ(leadPitches(1), (std::vector<int32_t>{60, 62}));
  EXPECT_EQ(leadPitches(0), (std::vector<int32_t>{60, 62}));
}

TEST_F(Clipboard, CommandsWithoutASelectionDoNothing) {
  append(60, 8);
  cursorToStart();
  editor.Copy1Click();
  editor.Cut1Click();
  editor.Delete1Click();
  editor.Paste1Click();  // empty clipboard
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60}));
  EXPECT_EQ(s.ClipHead->Closed, 0);
}

TEST_F(Clipboard, PasteReplacesTheSelectionAndAPageStartPasteBecomesThePageStart) {
  for (int32_t p : {60, 62, 64}) append(p, 8);
  cursorToStart();
  selectRight(1);
  editor.Copy1Click();
  editor.left();
  selectRight(2);
  editor.Paste1Click();  // replaces 60 62 with 60
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60, 64}));
  EXPECT_EQ(s.PageNode, first());
}

}  // namespace
}  // namespace kelvara::testing
