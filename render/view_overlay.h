#pragma once

#include <QImage>
#include <cstdlib>
#include <vector>

#include "score/score_view.h"

namespace kelvara {

// The view's pen: navy, in the not-xor mix (result = NOT(screen XOR pen)),
// so drawing the same line twice restores the picture.
constexpr QRgb kViewPenColour = 0x000080;

// Calls visit(x, y) for every pixel the pen covers on `line`, from its start
// up to but not including its last pixel.
template <class Visit>
void forEachPenPixel(const Line& line, Visit visit) {
  int x = line.x0, y = line.y0;
  const int dx = std::abs(line.x1 - x), dy = -std::abs(line.y1 - y);
  const int sx = x < line.x1 ? 1 : -1, sy = y < line.y1 ? 1 : -1;
  int err = dx + dy;
  while (x != line.x1 || y != line.y1) {
    visit(x, y);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

// Draws `lines` onto `picture` (RGB32) with the self-inverting pen. As with a
// pen moved from point to point, a line's last pixel is left out, so the
// corners of a box are touched once. `originX` is the picture's left edge in
// score-picture coordinates.
void invertLines(QImage& picture, const std::vector<Line>& lines, int originX = 0);

}  // namespace kelvara
