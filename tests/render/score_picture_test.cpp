// A band of lines drawn at once is the same pixels as its lines drawn one by
// one, whatever its slope and direction.
#include <gtest/gtest.h>

#include <random>

#include "render/score_picture.h"

namespace kelvara {
namespace {

TEST(ScorePictureBands, ABandIsItsLinesOneByOne) {
  std::mt19937 random(7);
  auto coordinate = [&](int32_t limit) {
    return std::uniform_int_distribution<int32_t>(0, limit)(random);
  };
  ScorePicture band, oneByOne;
  for (ScorePicture* p : {&band, &oneByOne}) {
    p->reset(QImage());
    ASSERT_TRUE(p->setWidth(300));
  }
  const int32_t height = band.image().height();
  for (int i = 0; i < 400; ++i) {
    const int32_t rows = 1 + coordinate(8);
    const int32_t x0 = coordinate(299), x1 = coordinate(299);
    // Mostly shallow, as beams are; steep ones and points too.
    const int32_t y0 = coordinate(height - rows);
    const int32_t y1 = i % 4 == 0 ? coordinate(height - rows)
                                  : std::clamp(y0 + coordinate(40) - 20, 0, height - rows);
    band.lines(x0, y0, x1, y1, rows);
    for (int32_t r = 0; r < rows; ++r) oneByOne.line(x0, y0 + r, x1, y1 + r);
    ASSERT_EQ(band.image(), oneByOne.image())
        << "(" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ") x" << rows;
    if (i % 50 == 49) {
      for (ScorePicture* p : {&band, &oneByOne}) p->reset(QImage());
      for (ScorePicture* p : {&band, &oneByOne}) ASSERT_TRUE(p->setWidth(300));
    }
  }
}

}  // namespace
}  // namespace kelvara
