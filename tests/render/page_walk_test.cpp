// Random parts drawn page by page: every page shows exactly the bar lines the
// bar arithmetic says its content completes, in every time signature.
#include <random>
#include <vector>

#include "render_fixture.h"
#include "support/tuplets.h"

namespace kelvara::testing {
namespace {

using PageWalk = RenderTest;

// A row of the bass staff's lowest space: with pitches from middle C up,
// only bar lines cross it.
constexpr int kBarLineRow = 264;

// Bar lines seen on the page: runs of dark pixels along kBarLineRow right of
// the start bar line.
int barLinesOnPicture(const QImage& picture) {
  int count = 0;
  bool inLine = false;
  for (int x = kMusicLeft; x < picture.width(); ++x) {
    const bool dark = qGray(picture.pixel(x, kBarLineRow)) < 128;
    if (dark && !inLine) ++count;
    inLine = dark;
  }
  return count;
}

// Bars the content drawn on the page of bars first .. first + 15 completes
// after bar first - 1: every record that starts before bar first + 16 is
// drawn (a record from the page before only in part), so the bar ends up to
// the end of the last of them are on the page.
int64_t barLinesByArithmetic(const std::vector<int32_t>& shares, int32_t barLen, int32_t first) {
  const int64_t pageEnd = int64_t{first + 15} * barLen;
  int64_t at = 0;
  for (int32_t share : shares) {
    if (at >= pageEnd) break;
    at += share;
  }
  return at / barLen - (first - 1);
}

TEST_F(PageWalk, EveryBarLineOfRandomPartsMatchesTheBarArithmetic) {
  std::mt19937 random(14);
  const std::pair<int32_t, int32_t> times[] = {{4, 4}, {3, 4}, {2, 4}, {9, 8},
                                               {6, 8}, {3, 8}, {2, 2}};
  const int32_t lengths[] = {1, 2, 4, 8, 16, 32, 64, 12, 24, 48, 96, 128, 6, 40};
  for (int round = 0; round < 14; ++round) {
    const auto [num, den] = times[round % 7];
    SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(num) + "/" +
                 std::to_string(den));
    s.releaseLists();
    s.createLists();
    s.TimeNum = num;
    s.TimeDen = den;
    renderer.resetPictureWidth();

    // Notes, chords and rests, now and then a tuplet group, up to about 40 bars.
    TOnpu* end = endMarkerOf(s.PartHead[0]);
    int64_t total = 0;
    while (total < int64_t{40} * s.BarLen()) {
      const int kind = static_cast<int>(random() % 10);
      if (kind == 0) {
        const int count = 2 + static_cast<int>(random() % 4);
        const int32_t span = 8 << (random() % 3);
        TOnpu* firstMember = nullptr;
        for (int i = 0; i < count; ++i) {
          TOnpu* r = makeRecord(60 + static_cast<int32_t>(random() % 25), 4, 1);
          linkBefore(end, r);
          if (firstMember == nullptr) firstMember = r;
        }
        makeTuplet(firstMember, count, span);
        total += span;
        continue;
      }
      const int32_t length = lengths[random() % std::size(lengths)];
      TOnpu* r = makeRecord(kind == 1 ? 0 : 60 + static_cast<int32_t>(random() % 25), length, 1);
      if (kind == 2) {
        r->Pitch[1] = r->Pitch[0] - 1 - static_cast<int32_t>(random() % 4);
        r->Pitch[1] = std::max(r->Pitch[1], 60);
        if (r->Pitch[1] == r->Pitch[0]) r->Pitch[1] = -1;
        r->LastIndex = r->Pitch[1] < 0 ? 0 : 1;
      }
      linkBefore(end, r);
      total += length;
    }
    std::vector<int32_t> shares;
    for (TOnpu* r = first(); !isEndMarker(*r); r = r->Next) shares.push_back(barContribution(*r));

    // Every page, reached as the page buttons do from the cursor's page.
    s.CurNode[0] = first();
    s.BarNo[0] = 1;
    s.BarFill[0] = 0;
    s.PageNode = first();
    renderer.PageDraw();
    for (;;) {
      SCOPED_TRACE("page from bar " + std::to_string(s.PageFirstBar));
      EXPECT_EQ(barLinesOnPicture(renderer.picture().image()),
                barLinesByArithmetic(shares, s.BarLen(), s.PageFirstBar));
      // Nothing the page draws lies past the picture's edge.
      EXPECT_LE(s.EndX + 80, renderer.picture().width());
      if (!view.nextPageEnabled()) break;
      const int32_t page = s.PageFirstBar;
      renderer.BitBtn10Click();
      ASSERT_GT(s.PageFirstBar, page);
    }
  }
}

}  // namespace
}  // namespace kelvara::testing
