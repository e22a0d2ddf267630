#pragma once

#include <QImage>
#include <cstdlib>
#include <vector>

#include "render/line_walk.h"
#include "score/score_view.h"

namespace kelvara {

// The view's pen: navy, in the not-xor mix (result = NOT(screen XOR pen)),
// so drawing the same line twice restores the picture.
constexpr QRgb kViewPenColour = 0x000080;

// Calls visit(x, y) for every pixel the pen covers on `line`, from its start
// up to but not including its last pixel.
template <class Visit>
void forEachPenPixel(const Line& line, Visit visit) {
  for (LineWalk walk(line.x0, line.y0, line.x1, line.y1); !walk.atEnd(); walk.step()) {
    visit(walk.x, walk.y);
  }
}

// Draws `lines` onto `picture` (RGB32) with the self-inverting pen. As with a
// pen moved from point to point, a line's last pixel is left out, so the
// corners of a box are touched once. `originX` is the picture's left edge in
// score-picture coordinates.
void invertLines(QImage& picture, const std::vector<Line>& lines, int originX = 0);

}  // namespace kelvara
