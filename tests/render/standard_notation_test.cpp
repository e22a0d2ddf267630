#include "render_fixture.h"
#include "support/tuplets.h"

namespace kelvara::testing {
namespace {

// Pages drawn in standard notation: dotted values, beams.
class StandardNotationPage : public RenderTest {
 protected:
  // Ticking the option redraws the page, as the dialog does.
  StandardNotationPage() {
    s.StandardNotation = true;
    renderer.PageDraw();
  }

  // The page as typed must be the page drawn whole: a note typed after a
  // beamed one redraws the group it joins.
  void expectSameWhenRedrawn(const std::string& what) {
    const QImage edited = viewPicture();
    renderer.PageDraw();
    EXPECT_TRUE(edited == viewPicture()) << what << " drew another page than a whole redraw";
  }
};

TEST_F(StandardNotationPage, DottedQuarterAndEighthInFourFour) {
  enter(67, 24);  // dotted quarter, stem up
  enter(69, 8);
  enter(74, 24);  // dotted quarter on the third beat, stem down
  enter(72, 8);
  enter(0, 24);  // a dotted rest
  enter(64, 8);
  enter(65, 8);  // an eighth then a dotted quarter across the beat: tied
  enter(67, 24);
  enter(60, 28);  // double-dotted quarter and a sixteenth
  enter(62, 4);
  enter(79, 32);
  enter(79, 48);  // dotted half
  enter(77, 16);
  expectSameWhenRedrawn("typing");
  expectGolden("standard_dotted_4_4", viewPicture());
}

TEST_F(StandardNotationPage, DottedQuarterAndEighthInSixEight) {
  setSignature(7, 6, 8);
  enter(67, 24);  // a dotted quarter fills a beat
  enter(69, 16);
  enter(71, 8);
  enter(72, 8);  // three eighths beamed in the beat
  enter(74, 8);
  enter(76, 8);
  enter(77, 24);
  enter(77, 48);  // dotted half: the whole bar
  enter(64, 12);  // dotted eighth, sixteenth, eighth
  enter(65, 4);
  enter(67, 8);
  enter(0, 24);
  expectSameWhenRedrawn("typing");
  expectGolden("standard_dotted_6_8", viewPicture());
}

TEST_F(StandardNotationPage, BeamsBrokenAtRestsAndBeats) {
  enter(64, 8);  // eighths
  enter(67, 8);
  enter(72, 4);  // sixteenths with a rest in the middle
  enter(71, 4);
  enter(0, 4);
  enter(67, 4);
  enter(76, 8);  // eighth and two sixteenths, stems down
  enter(79, 4);
  enter(77, 4);
  enter(62, 12);  // dotted eighth and sixteenth
  enter(65, 4);
  enter(60, 4);  // sixteenth, eighth, sixteenth: hooks both ways
  enter(64, 8);
  enter(67, 4);
  chord({72, 67, 64}, 8);  // chords: stems from the extreme notes
  chord({74, 69, 65}, 8);
  enter(72, 2);  // thirty-seconds
  enter(74, 2);
  enter(76, 2);
  enter(77, 2);
  enter(79, 8);
  enter(81, 8);  // an eighth alone in its beat keeps its flag
  enter(0, 8);
  expectSameWhenRedrawn("typing");
  expectGolden("standard_beams", viewPicture());

  // Edits inside a group regroup the notes before the cursor too.
  for (int i = 0; i < 9; ++i) editor.left();
  editor.DeleteOnpu();
  expectSameWhenRedrawn("a deletion");
  editor.BSOnpu();
  expectSameWhenRedrawn("a deletion before the cursor");
  enter(0, 2);
  expectSameWhenRedrawn("a rest typed in a group");
}

TEST_F(StandardNotationPage, StemsTiesAndSecondsOfBeamedAndFarNotes) {
  enter(79, 8);  // stems down for the group: the tie of the low note goes down too
  TOnpu* tied = enter(62, 8);
  tied->LenNum = 1;
  tied->LenDen = 2;
  chord({67, 65}, 8);  // a second under a beam: one head right of the stem
  chord({71, 69}, 8);
  enter(28, 8);  // far below the lower staff: stems to its middle line
  enter(31, 8);
  enter(26, 8);  // a flag alone
  enter(0, 8);
  enter(96, 4);  // far above the upper staff: stems down to its middle line
  enter(93, 4);
  enter(98, 8);
  enter(91, 16);  // a quarter and a half without beams
  enter(29, 32);
  TOnpu* triplet = enter(96, 16);  // a quarter triplet with long stems over its bracket
  enter(98, 16);
  enter(94, 16);
  makeTuplet(s, triplet, 3, 32);
  enter(24, 2);  // flags alone: three and four of them at the stem's end
  enter(0, 2);
  enter(100, 1);
  enter(0, 1);
  renderer.PageDraw();
  expectGolden("standard_stems_ties_seconds", viewPicture());
}

TEST_F(StandardNotationPage, TripletOfEighthsBeamedUnderItsBracket) {
  TOnpu* a = enter(64, 8);
  enter(67, 8);
  enter(72, 8);
  makeTuplet(s, a, 3, 16);
  TOnpu* b = enter(76, 8);
  enter(79, 8);
  enter(77, 8);
  makeTuplet(s, b, 3, 16);
  TOnpu* c = enter(67, 4);  // a sextuplet of sixteenths
  for (int32_t pitch : {69, 71, 72, 74, 76}) enter(pitch, 4);
  makeTuplet(s, c, 6, 16);
  TOnpu* d = enter(65, 8);
  enter(0, 8);  // a rest breaks the beam inside the bracket
  enter(69, 8);
  makeTuplet(s, d, 3, 16);
  renderer.PageDraw();
  expectGolden("standard_triplets", viewPicture());
}

}  // namespace
}  // namespace kelvara::testing
