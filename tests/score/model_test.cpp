#include <gtest/gtest.h>

#include "score/clipboard.h"
#include "score_fixture.h"

namespace kelvara::testing {
namespace {

using Model = ScoreTest;

TEST_F(Model, EmptyScoreHasThreeMarkersPerPartAndCursorOnEndMarker) {
  for (int p = 0; p < kPartCount; ++p) {
    TOnpu* h = s.PartHead[p];
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->Pitch[0], kListHead);
    EXPECT_EQ(h->Width, 0);
    EXPECT_EQ(h->Next->Pitch[0], kStartMarker);
    EXPECT_EQ(h->Next->Width, kStartMarkerWidth);
    TOnpu* end = h->Next->Next;
    EXPECT_EQ(end->Pitch[0], kEndMarker);
    EXPECT_EQ(end->Prev, h->Next);
    for (TOnpu* r : {h, h->Next, end}) {
      EXPECT_EQ(r->Closed, 1);
      EXPECT_EQ(r->Length, 0);
      EXPECT_EQ(r->Pitch[1], kEmptySlot);
      EXPECT_EQ(r->RenCount, 4);
    }
    EXPECT_EQ(s.CurNode[p], end);
    EXPECT_EQ(s.BarNo[p], 1);
    EXPECT_EQ(s.BarFill[p], 0);
    EXPECT_EQ(s.CursorX[p], 210);
    EXPECT_TRUE(isPartEmpty(h));
  }
  EXPECT_EQ(s.ClipHead->Pitch[0], kListHead);
  EXPECT_EQ(s.ClipHead->Closed, 0);
}

TEST_F(Model, BarLengthFollowsTimeSignature) {
  const std::pair<int, int> signatures[] = {{4, 4}, {3, 4}, {2, 4}, {9, 8}, {6, 8}, {3, 8}, {2, 2}};
  const int expected[] = {64, 48, 32, 72, 48, 24, 64};
  for (int i = 0; i < 7; ++i) {
    s.TimeNum = signatures[i].first;
    s.TimeDen = signatures[i].second;
    EXPECT_EQ(s.BarLen(), expected[i]) << s.TimeNum << "/" << s.TimeDen;
  }
  // A zero or negative time signature (a damaged file) never stops the bar carry.
  s.TimeDen = 0;
  EXPECT_GE(s.BarLen(), 1);
  s.TimeDen = 4;
  s.TimeNum = 0;
  EXPECT_GE(s.BarLen(), 1);
}

TEST_F(Model, BarPositionIsCountedAgainAfterTheTimeSignatureChanges) {
  for (int i = 0; i < 5; ++i) append(60, 16);
  cursorToStart();
  for (int i = 0; i < 5; ++i) editor.right();
  EXPECT_EQ(s.BarNo[0], 2);
  EXPECT_EQ(s.BarFill[0], 16);
  s.TimeNum = 3;
  s.recountBarPosition(0);
  EXPECT_EQ(s.BarNo[0], 2);
  EXPECT_EQ(s.BarFill[0], 32);
  s.TimeNum = 2;
  editor.left();
  s.recountBarPosition(0);
  EXPECT_EQ(s.BarNo[0], 3);
  EXPECT_EQ(s.BarFill[0], 0);
}

TEST_F(Model, TupletGroupCountsOnceBySpanOnItsLastMember) {
  TOnpu* a = append(60, 8);
  append(62, 8);
  append(64, 8);
  makeTuplet(a, 3, 16);
  EXPECT_EQ(barContribution(*a), 0);
  EXPECT_EQ(barContribution(*a->Next), 0);
  EXPECT_EQ(barContribution(*a->Next->Next), 16);
  cursorToStart();
  editor.right();
  editor.right();
  EXPECT_EQ(s.BarFill[0], 0);
  editor.right();
  EXPECT_EQ(s.BarFill[0], 16);
}

TEST_F(Model, DissolvingAGroupLeavesTheNextGroupIntact) {
  // Regression: walking on "while RenIndex != 0" used to swallow a group that
  // follows directly.
  TOnpu* a = append(60, 8);
  append(62, 8);
  append(64, 8);
  TOnpu* b = append(65, 8);
  append(67, 8);
  append(69, 8);
  makeTuplet(a, 3, 16);
  makeTuplet(b, 3, 16);
  dissolveTuplet(a->Next);
  for (TOnpu* r = a; r != b; r = r->Next) {
    EXPECT_EQ(r->RenIndex, 0);
    EXPECT_EQ(r->RenCount, 4);
    EXPECT_EQ(r->RenLength, 0);
  }
  EXPECT_EQ(b->RenIndex, 1);
  EXPECT_EQ(b->Next->Next->RenIndex, 3);
}

TEST_F(Model, WorkPartListPutsPartTenBeforePercussion) {
  EXPECT_EQ(partForListItem(0), 0);
  EXPECT_EQ(partForListItem(8), 8);
  EXPECT_EQ(partForListItem(9), 10);
  EXPECT_EQ(partForListItem(10), 9);
  EXPECT_EQ(partLabel(0), " 1パート");
  EXPECT_EQ(partLabel(10), "10パート");
  EXPECT_EQ(partLabel(9), "パーカッション");
}

TEST_F(Model, OctaveLabelRoundsHalvesToEven) {
  EXPECT_EQ(octaveNumber(60), 4);
  EXPECT_EQ(octaveNumber(57), 4);
  EXPECT_EQ(octaveNumber(48), 3);
  EXPECT_EQ(octaveNumber(54), 4);  // 3.5
  EXPECT_EQ(octaveNumber(66), 4);  // 4.5
  EXPECT_EQ(octaveLabelText(60),
            "[↓キ－]　←                         4                       → [↑キ－]");
}

TEST_F(Model, ReleaseFreesEveryListAndIsIdempotent) {
  append(60, 8);
  append(0, 16, 3);
  TOnpu* clip = makeRecord(62, 8, 0);
  s.ClipHead->Next = clip;
  s.ClipHead->Closed = 1;
  s.releaseLists();
  s.releaseLists();
  EXPECT_EQ(s.ClipHead, nullptr);
  EXPECT_EQ(s.PartHead[0], nullptr);
}

TEST_F(Model, CopyonpuCopiesEveryFieldAndClosesTheCopy) {
  TOnpu* src = append(67, 16);
  src->Pitch[1] = 60;
  src->LastIndex = 1;
  src->Velocity = 40;
  src->YoinAmount = -150;
  makeTuplet(src, 1, 16);
  src->Closed = 0;
  TOnpu copy{};
  EXPECT_EQ(Copyonpu(&copy, src), src->Next);
  EXPECT_EQ(copy.Pitch, src->Pitch);
  EXPECT_EQ(copy.Velocity, 40);
  EXPECT_EQ(copy.YoinAmount, -150);
  EXPECT_EQ(copy.RenIndex, 1);
  EXPECT_EQ(copy.Closed, 1);
  EXPECT_EQ(copy.Next, src->Next);
}

}  // namespace
}  // namespace kelvara::testing
