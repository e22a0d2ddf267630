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

}  // namespace
}  // namespace kelvara::testing
