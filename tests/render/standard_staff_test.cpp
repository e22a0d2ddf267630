// Standard notation draws inside the same cells: the goldens show what it
// draws, the layout dump that nothing moves.
#include <random>
#include <sstream>

#include "render_fixture.h"
#include "score/standard_notation.h"
#include "support/tuplets.h"

namespace kelvara::testing {
namespace {

class StandardStaff : public RenderTest {
 protected:
  void expectSameWhenRedrawn(const std::string& what) {
    const QImage edited = viewPicture();
    renderer.PageDraw();
    EXPECT_TRUE(edited == viewPicture()) << what << " drew another staff than a whole redraw";
  }

  void standard(bool on) {
    s.StandardNotation = on;
    renderer.PageDraw();
  }

  // Every record's x and width on every page, the page starts and ends, and
  // the cursor's x after each step right: what the cursor, the mouse and the
  // page arrows go by.
  std::string layoutDump() {
    std::ostringstream out;
    const int p = s.WorkPart;
    s.CurNode[p] = first();
    s.BarNo[p] = 1;
    s.BarFill[p] = 0;
    renderer.PageDraw();
    for (;;) {
      out << "page " << s.PageFirstBar << " x " << s.PageX << " end " << s.EndX << " width "
          << renderer.picture().width() << "\n";
      int32_t x = s.PageX;
      for (TOnpu* r = s.PageNode; r != s.PageEndNode[p]; r = r->Next) {
        out << ' ' << x << '+' << r->Width;
        x += r->Width;
      }
      out << "\n";
      if (!view.nextPageEnabled()) break;
      renderer.BitBtn10Click();
    }
    s.CurNode[p] = first();
    s.BarNo[p] = 1;
    s.BarFill[p] = 0;
    renderer.PageDraw();
    out << "cursor";
    while (!isEndMarker(*cur())) {
      editor.right();
      out << ' ' << s.CursorX[p] << '/' << s.PageFirstBar;
    }
    return out.str();
  }
};

TEST_F(StandardStaff, SharpLastsToTheBarLineAndTheKeyRulesAgain) {
  standard(true);
  enter(66, 16);  // F sharp
  enter(66, 16);  // no sign: still in force
  enter(65, 16);  // natural
  enter(66, 16);  // sharp again
  enter(65, 16);  // next bar: F without a natural, the key says natural
  enter(66, 16);  // the sharp is repeated
  enter(66, 48);  // tied over the bar line without a second sign
  enter(66, 16);  // the tie carried the sharp no further: sharp again
  enter(65, 16);  // natural
  expectGolden("standard_f_sharp_then_f", viewPicture());
  // In G the key's sharp rules again after the bar line.
  setSignature(6, 4, 4);
  expectGolden("standard_f_sharp_then_f_in_g", viewPicture());
}

TEST_F(StandardStaff, DrumGrooveOnThePercussionStaff) {
  s.WorkPart = kPercussionPart;
  s.PageNode = endMarkerOf(s.PartHead[kPercussionPart]);
  s.KeySig = 6;  // no key signature on the percussion staff
  standard(true);
  for (int beat = 0; beat < 2; ++beat) {
    chord({42, 36}, 8);
    chord({42}, 8);
    chord({42, 38}, 8);
    chord({42}, 8);
    chord({42, 36}, 8);
    chord({42, 36}, 8);
    chord({46, 38}, 8);
    chord({42}, 8);
  }
  chord({49, 36}, 16);
  chord({51, 38}, 16);
  chord({45, 43}, 16);
  chord({48, 47}, 4);  // two drums a step apart on one stem under the beam
  enter(44, 4);
  enter(0, 8);
  chord({42, 36}, 12);  // dotted eighth and sixteenth
  chord({42, 38}, 4);
  chord({46, 36}, 4);  // sixteenths broken by a rest, the open hi-hat marked
  enter(0, 4);
  chord({42, 38}, 4);
  chord({42}, 4);
  // The staff typed cell by cell is the staff drawn whole: one five-line
  // staff, each note typed after a beamed one redrawing the group it joins.
  expectSameWhenRedrawn("typing");

  TOnpu* triplet = enter(45, 8);  // a triplet of toms under its bracket
  enter(47, 8);
  enter(48, 8);
  makeTuplet(s, triplet, 3, 16);
  chord({46, 36}, 16);
  TOnpu* held = enter(49, 16);  // a crash held on, a snare cut short
  held->LenNum = 1;
  held->LenDen = 2;
  TOnpu* cut = enter(38, 16);
  cut->LenNum = -1;
  cut->LenDen = 2;
  renderer.PageDraw();
  expectGolden("standard_drum_groove", viewPicture());

  // The rest taken out of the sixteenths and a drum typed in its place: the
  // flagged note before the cursor joins the group and is redrawn with it.
  for (int i = 0; i < 9; ++i) editor.left();
  ASSERT_TRUE(isRest(*cur()));
  editor.DeleteOnpu();
  expectSameWhenRedrawn("a rest deleted from a group");
  chord({49, 38}, 4);  // a crash: the beam rises over the notes before it
  expectSameWhenRedrawn("a drum typed into a group");
}

TEST_F(StandardStaff, KeyBeforeTimeAndTheLineNumberedByItsFirstBar) {
  s.KeySig = 14;  // seven flats, the widest key signature
  s.TimeNum = 6;
  s.TimeDen = 8;
  standard(true);
  for (int i = 0; i < 60; ++i) enter(i % 2 ? 70 : 72, 16);  // ends on page 17
  expectGolden("standard_key_time_line_number", viewPicture());
}

TEST_F(StandardStaff, CellsPagesAndCursorStayWhereTheyWere) {
  std::mt19937 random(2026);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  s.TimeNum = 3;
  s.TimeDen = 4;
  renderer.PageDraw();
  for (int i = 0; i < 150; ++i) {
    static constexpr int32_t kLengths[] = {1, 2, 4, 6, 8, 12, 16, 24, 32, 40, 64, 96};
    const int32_t length = kLengths[pick(12)];
    if (pick(8) == 0) {
      enter(0, length);
    } else if (pick(4) == 0) {
      chord({60 + pick(24), 40 + pick(20)}, length);
    } else {
      enter(48 + pick(40), length);
    }
    if (pick(20) == 0) {
      TOnpu* a = enter(60 + pick(12), 8);
      enter(61, 8);
      enter(66, 8);
      makeTuplet(s, a, 3, 16);
    }
  }
  for (int part : {0, kPercussionPart}) {
    if (part == kPercussionPart) {
      // The same records in the percussion part.
      TOnpu* end = endMarkerOf(s.PartHead[part]);
      for (TOnpu* r = firstRecordOf(s.PartHead[0]); !isEndMarker(*r); r = r->Next) {
        linkBefore(end, new TOnpu(*r));
      }
      s.WorkPart = part;
      s.CurNode[part] = first();
      s.BarNo[part] = 1;
      s.BarFill[part] = 0;
    }
    standard(false);
    const std::string usual = layoutDump();
    standard(true);
    EXPECT_EQ(layoutDump(), usual) << "part " << part;
  }
}

TEST(DrumNote, CymbalsAndHiHatsHaveCrossHeadsOnTheCommonPlaces) {
  struct Case {
    int32_t key;
    int32_t index;
    bool cross;
  };
  const Case cases[] = {{36, 42, false}, {38, 46, false}, {42, 50, true}, {44, 40, true},
                        {46, 50, true},  {49, 51, true},  {51, 49, true}, {45, 47, false},
                        {41, 43, false}, {81, 45, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(drumNote(c.key).index, c.index) << c.key;
    EXPECT_EQ(drumNote(c.key).cross, c.cross) << c.key;
  }
}

}  // namespace
}  // namespace kelvara::testing
