#include <gtest/gtest.h>

#include "score_fixture.h"

namespace kelvara::testing {
namespace {

using NoteEntry = ScoreTest;

std::vector<int32_t> pitchesOf(const TOnpu* r) {
  return std::vector<int32_t>(r->Pitch.begin(), r->Pitch.begin() + r->LastIndex + 1);
}

TEST_F(NoteEntry, FirstPitchOpensARecordAndTheNextOneClosesIt) {
  editor.InsertOnpu(60, 8);
  TOnpu* a = cur();
  EXPECT_EQ(a->Pitch[0], 60);
  EXPECT_EQ(a->Closed, 0);
  EXPECT_EQ(a->Length, 8);
  EXPECT_EQ(a->Velocity, 100);
  EXPECT_TRUE(isEndMarker(*a->Next));
  EXPECT_EQ(s.CursorX[0], 210);
  EXPECT_EQ(s.PageNode, a);  // inserted before the page's first record

  editor.InsertOnpu(62, 8);
  EXPECT_EQ(a->Closed, 1);
  EXPECT_EQ(s.BarFill[0], 8);
  EXPECT_EQ(s.CursorX[0], 210 + a->Width);
  EXPECT_EQ(cur(), a->Next);
  EXPECT_EQ(cur()->Pitch[0], 62);
  EXPECT_EQ(cur()->Closed, 0);
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60, 62}));
}

TEST_F(NoteEntry, SamePitchAgainLengthensTheOpenRecord) {
  editor.InsertOnpu(60, 8);
  editor.InsertOnpu(60, 8);
  EXPECT_EQ(cur()->Length, 16);
  EXPECT_EQ(leadPitches().size(), 1u);
}

TEST_F(NoteEntry, ChordInputKeepsPitchesInDescendingOrder) {
  s.SingleInput = 0;
  editor.InsertOnpu(60, 8);
  editor.InsertOnpu(67, 8);
  editor.InsertOnpu(64, 8);
  EXPECT_EQ(pitchesOf(cur()), (std::vector<int32_t>{67, 64, 60}));
  EXPECT_EQ(cur()->LastIndex, 2);
  EXPECT_EQ(cur()->Pitch[3], -1);
  editor.InsertOnpu(64, 8);
  EXPECT_EQ(cur()->Length, 16);
  EXPECT_EQ(cur()->LastIndex, 2);
}

TEST_F(NoteEntry, TenthPitchJoinsTheChordAndTheEleventhStartsANewRecord) {
  s.SingleInput = 0;
  for (int i = 0; i < 10; ++i) editor.InsertOnpu(50 + 2 * i, 8);
  TOnpu* chord = cur();
  EXPECT_EQ(chord->LastIndex, 9);
  EXPECT_EQ(chord->Pitch[0], 68);
  EXPECT_EQ(chord->Pitch[9], 50);
  editor.InsertOnpu(56, 8);  // already there: lengthens even with ten pitches
  EXPECT_EQ(chord->Length, 16);
  editor.InsertOnpu(51, 8);  // an eleventh distinct pitch
  EXPECT_EQ(chord->Closed, 1);
  EXPECT_EQ(cur()->Pitch[0], 51);
  EXPECT_EQ(cur()->LastIndex, 0);
  EXPECT_EQ(s.BarFill[0], 16);
}

TEST_F(NoteEntry, RestsFollowTheModeTable) {
  editor.InsertOnpu(0, 8);
  editor.InsertOnpu(0, 8);  // rest on an open rest: longer
  EXPECT_EQ(cur()->Length, 16);
  editor.InsertOnpu(60, 8);  // pitch on a rest: a new note
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{0, 60}));
  s.SingleInput = 0;
  editor.InsertOnpu(0, 4);  // rest on a note, chord input: a new rest
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{0, 60, 0}));
  editor.InsertOnpu(62, 8);  // pitch on a rest in chord input: a new note
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{0, 60, 0, 62}));
  EXPECT_EQ(s.BarFill[0], 16 + 8 + 4);
}

TEST_F(NoteEntry, OverlayAddsToTheClosedNoteUnderTheCursorLine) {
  TOnpu* note = append(60, 16);
  TOnpu* rest = append(0, 16);
  cursorToStart();
  s.InsertMode = 0;
  s.SingleInput = 0;
  editor.InsertOnpu(64, 8);
  EXPECT_EQ(cur(), note);
  EXPECT_EQ(note->Closed, 0);
  EXPECT_EQ(pitchesOf(note), (std::vector<int32_t>{64, 60}));
  EXPECT_EQ(note->Length, 16);
  editor.InsertOnpu(60, 8);  // present: lengthened
  EXPECT_EQ(note->Length, 24);

  editor.right();  // cursor line before the closed rest: overlay inserts
  ASSERT_EQ(cur(), rest);
  editor.InsertOnpu(67, 8);
  EXPECT_EQ(cur()->Next, rest);
  EXPECT_EQ(cur()->Pitch[0], 67);
  editor.right();
  editor.right();  // before the end marker: inserts as well
  editor.InsertOnpu(69, 8);
  EXPECT_TRUE(isEndMarker(*cur()->Next));
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{64, 67, 0, 69}));
}

TEST_F(NoteEntry, InsertInsideATripletDissolvesTheWholeGroup) {
  TOnpu* a = append(60, 8);
  TOnpu* b = append(62, 8);
  TOnpu* c = append(64, 8);
  makeTuplet(a, 3, 16);
  cursorToStart();
  editor.InsertOnpu(67, 8);  // before the first member: the group stays
  EXPECT_EQ(a->RenIndex, 1);
  EXPECT_EQ(drawing.pageDraw, 0);
  editor.rightshift();
  editor.right();  // cursor line before the second member
  ASSERT_EQ(cur(), b);
  editor.InsertOnpu(69, 8);
  for (TOnpu* m : {a, b, c}) {
    EXPECT_EQ(m->RenIndex, 0);
    EXPECT_EQ(m->RenCount, 4);
    EXPECT_EQ(m->RenLength, 0);
  }
  EXPECT_EQ(drawing.pageDraw, 1);
  EXPECT_EQ(cur()->Next, b);
}

TEST_F(NoteEntry, LeavingAnOpenTupletMemberDissolvesItsGroup) {
  TOnpu* a = append(60, 8);
  append(62, 8);
  append(64, 8);
  makeTuplet(a, 3, 16);
  cursorToStart();
  s.InsertMode = 0;
  s.SingleInput = 0;
  editor.InsertOnpu(60, 8);  // overlay reopens the first member
  ASSERT_EQ(a->Closed, 0);
  editor.InsertOnpu(0, 8);  // a rest closes it and appends after it
  EXPECT_EQ(a->RenIndex, 0);
  EXPECT_EQ(a->Next->Pitch[0], 0);
  EXPECT_EQ(a->Next->Next->RenIndex, 0);
  EXPECT_EQ(s.BarFill[0], 16);  // a's length counts once the group is gone
}

TEST_F(NoteEntry, DeleteProtectsTheEndMarker) {
  editor.DeleteOnpu();
  EXPECT_TRUE(isEndMarker(*cur()));
  EXPECT_TRUE(isPartEmpty(head()));
  EXPECT_TRUE(drawing.wipes.empty());
}

TEST_F(NoteEntry, DeleteOnATupletMemberDissolvesThenDeletes) {
  TOnpu* a = append(60, 8);
  TOnpu* b = append(62, 8);
  TOnpu* c = append(64, 8);
  makeTuplet(a, 3, 16);
  cursorToStart();
  editor.right();
  ASSERT_EQ(cur(), b);
  editor.DeleteOnpu();
  EXPECT_EQ(cur(), c);
  EXPECT_EQ(a->RenIndex, 0);
  EXPECT_EQ(c->RenIndex, 0);
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60, 64}));
  // The cursor keeps its place after the dissolved first member, which now
  // counts by its own length (the bar position was left at 0 before).
  EXPECT_EQ(s.BarFill[0], 8);
  ASSERT_EQ(drawing.wipes.size(), 1u);
  EXPECT_EQ(drawing.wipes[0], (std::pair<int32_t, int32_t>{drawing.endX, 70}));
}

TEST_F(NoteEntry, DeletingThePagesFirstRecordMovesThePageStart) {
  TOnpu* a = append(60, 8);
  TOnpu* b = append(62, 8);
  cursorToStart();
  ASSERT_EQ(s.PageNode, a);
  editor.DeleteOnpu();
  EXPECT_EQ(s.PageNode, b);
  EXPECT_EQ(cur(), b);
}

TEST_F(NoteEntry, EscapeRemovesOnlyAnOpenRecord) {
  TOnpu* a = append(60, 8);
  cursorToStart();
  editor.EscapeOnpu();
  EXPECT_EQ(cur(), a);
  editor.InsertOnpu(64, 8);
  editor.EscapeOnpu();
  EXPECT_EQ(cur(), a);
  EXPECT_EQ(a->Closed, 1);
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60}));
}

TEST_F(NoteEntry, BackSpaceDeletesTheRecordBeforeTheCursor) {
  editor.BSOnpu();  // nothing before the end marker
  editor.InsertOnpu(60, 8);
  editor.BSOnpu();  // the start marker precedes the open record: nothing
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60}));
  editor.InsertOnpu(62, 8);
  editor.InsertOnpu(64, 8);
  editor.rightshift();
  TOnpu* end = cur();
  editor.BSOnpu();
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60, 62}));
  EXPECT_EQ(cur(), end);
  EXPECT_EQ(s.BarFill[0], 16);
  EXPECT_EQ(s.CursorX[0], 210 + 140);
}

TEST_F(NoteEntry, BackSpaceOnAnOpenRecordDeletesIt) {
  editor.InsertOnpu(60, 8);
  editor.InsertOnpu(62, 8);
  editor.BSOnpu();
  EXPECT_EQ(leadPitches(), (std::vector<int32_t>{60}));
  EXPECT_TRUE(isEndMarker(*cur()));
  EXPECT_EQ(s.BarFill[0], 8);
}

TEST_F(NoteEntry, RefreshRedrawsOnlyWhenThePictureWidened) {
  editor.refreshAfterInput();
  EXPECT_EQ(drawing.drawFromIti, 0);
  drawing.chkGakuhuWidens = 2;
  editor.refreshAfterInput();
  EXPECT_EQ(drawing.drawFromIti, 1);
  editor.refreshAfterInput(true);
  EXPECT_EQ(drawing.drawFromIti, 2);
  EXPECT_EQ(view.showCount(), 3);
}

}  // namespace
}  // namespace kelvara::testing
