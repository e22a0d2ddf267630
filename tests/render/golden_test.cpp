#include "render_fixture.h"
#include "support/tuplets.h"

namespace kelvara::testing {
namespace {

// Pages of small scores compared with committed pictures.
using GoldenPage = RenderTest;

TEST_F(GoldenPage, EmptyPage) {
  expectGolden("empty_page", viewPicture());
}

TEST_F(GoldenPage, KeySignatures) {
  const std::pair<int, const char*> keys[] = {
      {7, "key_c"}, {8, "key_f"}, {0, "key_seven_sharps"}, {14, "key_seven_flats"}};
  for (const auto& [key, name] : keys) {
    setSignature(key, 4, 4);
    expectGolden(name, viewPicture());
  }
}

TEST_F(GoldenPage, TimeSignatures) {
  const std::pair<int, int> times[] = {{4, 4}, {3, 4}, {2, 4}, {9, 8}, {6, 8}, {3, 8}, {2, 2}};
  for (const auto& [num, den] : times) {
    setSignature(7, num, den);
    expectGolden("time_" + std::to_string(num) + "_" + std::to_string(den), viewPicture());
  }
}

TEST_F(GoldenPage, EveryLengthStemUpAndDown) {
  for (int32_t length : {64, 32, 16, 8, 4, 2, 1}) enter(67, length);
  for (int32_t length : {64, 32, 16, 8, 4, 2, 1}) enter(72, length);
  renderer.BitBtn9Click();
  expectGolden("lengths", viewPicture());
}

TEST_F(GoldenPage, ChordsWithSecondsBothWays) {
  chord({65, 64, 60}, 16);      // stem up: 64 beside the stem
  chord({79, 76, 72}, 8);       // C5-E5-G5, stem down, no seconds
  chord({79, 77, 76, 72}, 16);  // stem down: 77 beside the stem
  chord({62, 60, 59}, 32);      // two seconds in a row
  chord({67, 65, 64, 62}, 64);  // whole-note cluster
  expectGolden("chords", viewPicture());
}

TEST_F(GoldenPage, AccidentalsAcrossBarLinesAndPages) {
  enter(66, 64);  // F sharp
  enter(60, 64);
  enter(60, 64);
  enter(65, 32);  // F three bars later: natural
  enter(70, 16);  // B flat spelled as A sharp in C
  enter(70, 16);  // no sign the second time
  expectGolden("accidentals_c", viewPicture());

  setSignature(6, 4, 4);  // G: F sharp without a sign
  expectGolden("accidentals_g", viewPicture());
  setSignature(1, 4, 4);  // F sharp major: F is E sharp
  expectGolden("accidentals_f_sharp_major", viewPicture());
}

TEST_F(GoldenPage, TiesAcrossBarLinesAndDottedLengths) {
  for (int i = 0; i < 7; ++i) enter(64, 8);
  enter(65, 16);  // eighth, bar line, eighth
  enter(74, 24);  // quarter tied to an eighth, stem down
  enter(74, 40);
  expectGolden("ties", viewPicture());
}

TEST_F(GoldenPage, WholeNoteStraddlingIntoTheNextPage) {
  for (int i = 0; i < 15; ++i) enter(0, 64);
  enter(67, 128);  // bar 16 into bar 17
  enter(69, 16);
  expectGolden("straddle_next_page", viewPicture());
  renderer.BitBtn9Click();
  expectGolden("straddle_first_page", viewPicture());
}

TEST_F(GoldenPage, TupletBrackets) {
  TOnpu* a = enter(64, 8);
  enter(67, 8);
  enter(72, 8);
  makeTuplet(s, a, 3, 16);
  TOnpu* b = enter(76, 4);
  enter(0, 4);
  enter(74, 4);
  enter(0, 4);
  enter(71, 4);
  makeTuplet(s, b, 5, 16);
  TOnpu* c = enter(60, 16);
  enter(62, 16);
  enter(0, 16);  // a triplet ending with a rest still closes the bar
  makeTuplet(s, c, 3, 32);
  renderer.PageDraw();
  expectGolden("tuplets", viewPicture());
}

TEST_F(GoldenPage, TupletBegunOnThePreviousPage) {
  for (int i = 0; i < 15; ++i) enter(0, 64);
  enter(0, 32);
  TOnpu* a = enter(67, 16);
  enter(69, 16);
  enter(71, 16);
  enter(72, 16);
  makeTuplet(s, a, 4, 48);  // crosses into bar 17
  renderer.PageDraw();
  expectGolden("tuplet_from_previous_page", viewPicture());
}

TEST_F(GoldenPage, Rests) {
  for (int32_t length : {64, 32, 16, 8, 4, 2, 1, 1}) enter(0, length);
  enter(0, 24);
  expectGolden("rests", viewPicture());
}

TEST_F(GoldenPage, LedgerLines) {
  for (int32_t pitch : {60, 59, 57, 81, 40, 84}) enter(pitch, 16);
  chord({81, 79}, 64);  // A5 as a whole note: no ledger line
  expectGolden("ledger_lines", viewPicture());
}

TEST_F(GoldenPage, LengthenedAndShortenedMarks) {
  TOnpu* a = enter(64, 16);
  TOnpu* b = enter(76, 16);
  TOnpu* c = enter(62, 16);
  TOnpu* d = enter(79, 16);
  enter(60, 16);
  a->LenNum = 1;
  a->LenDen = 16;
  b->LenNum = 1;
  b->LenDen = 16;
  c->LenNum = -1;
  c->LenDen = 16;
  d->LenNum = -1;
  d->LenDen = 16;
  renderer.PageDraw();
  expectGolden("length_marks", viewPicture());
}

TEST_F(GoldenPage, BarNumbersOfOneToThreeDigits) {
  for (int i = 0; i < 100; ++i) enter(0, 64);
  enter(60, 64);
  expectGolden("bar_numbers_97", viewPicture());
  renderer.BitBtn9Click();
  renderer.BitBtn9Click();
  renderer.BitBtn9Click();
  renderer.BitBtn9Click();
  renderer.BitBtn9Click();
  renderer.BitBtn9Click();
  expectGolden("bar_numbers_1", viewPicture());
}

TEST_F(GoldenPage, SelectionFrameAcrossPages) {
  for (int i = 0; i < 36; ++i) enter(60 + i % 5, 32);
  // Anchor on the first page, end on the second.
  s.SelAnchorPage = 1;
  s.SelAnchorX = 210 + 70 * 3;
  s.SelEndPage = 17;
  s.SelEndX = 210 + 70;
  s.SelActive = 1;
  renderer.PageDraw();
  expectGolden("selection_second_page", viewPicture());
  renderer.BitBtn9Click();
  expectGolden("selection_first_page", viewPicture());
}

TEST_F(GoldenPage, TwoFourNoteCarriedIntoPageSeventeen) {
  // Regression: the page-start offset counted 64 a bar, so page 17 began with
  // an empty cell and a second, visible bar line numbered 16.
  setSignature(7, 2, 4);
  for (int i = 0; i < 15; ++i) enter(0, 32);
  enter(0, 16);
  TOnpu* carried = enter(67, 16 + 32 + 8);  // a quarter of bar 16, bar 17, an eighth of bar 18
  enter(69, 8);
  enter(71, 16);
  ASSERT_EQ(s.PageFirstBar, 17);
  EXPECT_EQ(s.PageNode, carried);
  EXPECT_EQ(s.PageX, 210 - 70);  // its bar-16 quarter lies under the clef
  expectGolden("two_four_carried", viewPicture());
}

TEST_F(GoldenPage, ThreeFourLateNotesAfterACarriedNote) {
  // Regression: the widening left out the carried note's cells on the page
  // before and stopped short, cutting the last bar's notes at the edge.
  setSignature(7, 3, 4);
  for (int i = 0; i < 15; ++i) enter(0, 48);
  enter(0, 16);
  enter(64, 32 + 48 + 48);                            // from bar 16 over bars 17 and 18
  for (int i = 0; i < 13 * 3; ++i) enter(72, 16);     // bars 19 to 31
  for (int i = 0; i < 24; ++i) enter(74 + i % 3, 2);  // bar 32 in 32nds
  renderer.PageDraw();                                // the cursor's page: bar 33
  renderer.BitBtn9Click();
  ASSERT_EQ(s.PageFirstBar, 17);
  EXPECT_LE(s.EndX + 80, renderer.picture().width());
  expectGolden("three_four_late_notes", viewPicture());
}

TEST_F(GoldenPage, TupletMembersShowTheirOwnValues) {
  enter(0, 48);
  TOnpu* five = enter(76, 4);  // five sixteenths over a half, across the bar line
  for (int32_t p : {74, 72, 71, 69}) enter(p, 4);
  makeTuplet(s, five, 5, 32);
  TOnpu* three = enter(79, 8);  // eighths, stems down: the bracket runs under them
  enter(81, 8);
  enter(84, 8);
  makeTuplet(s, three, 3, 16);
  TOnpu* dotted = enter(67, 12);  // a dotted eighth and a sixteenth in a quarter
  enter(65, 4);
  makeTuplet(s, dotted, 2, 16);
  renderer.PageDraw();
  expectGolden("tuplets_own_values", viewPicture());
}

TEST_F(GoldenPage, LedgerLinesAboveAndBelowBothStaves) {
  for (int32_t pitch : {96, 91, 88, 84, 81, 60, 40, 36, 31, 24}) enter(pitch, 16);
  chord({72, 60}, 16);  // middle C at the foot of a stem-down chord
  chord({69, 40}, 16);  // E2 at the foot of a stem-down chord
  chord({62, 60}, 16);  // middle C as a displaced head
  chord({93, 91}, 64);  // whole notes high above the staff, a second apart
  expectGolden("ledger_extremes", viewPicture());
}

TEST_F(GoldenPage, WideChordsShareOneStem) {
  chord({67, 48}, 16);     // G4 and C3
  chord({76, 60, 48}, 8);  // an eighth chord: one stem, one flag
  chord({84, 55}, 8);      // stem down over both staves
  chord({64, 43}, 4);      // a sixteenth from the bass staff
  chord({79, 72, 67, 60}, 32);
  expectGolden("wide_chords", viewPicture());
}

TEST_F(GoldenPage, DisplacedHeadsStayInsideTheirCell) {
  chord({65, 64}, 64);  // a whole note with a second ends the bar
  enter(0, 48);
  chord({65, 64}, 16);  // a quarter with a second ends the bar
  chord({77, 76}, 64);  // stem down
  chord({62, 60}, 64);  // the displaced middle C keeps its ledger line
  expectGolden("displaced_heads", viewPicture());
}

TEST_F(GoldenPage, SignsStandClearOfDisplacedHeads) {
  chord({80, 78}, 16);  // G sharp and F sharp, stem down, a second apart
  chord({73, 71}, 16);  // C sharp over B, stem down
  chord({75, 73, 71}, 16);
  chord({65, 64}, 16);  // stem up: F natural, the displaced head right of the stem
  chord({62, 60}, 16);
  expectGolden("seconds_with_signs", viewPicture());
}

}  // namespace
}  // namespace kelvara::testing
