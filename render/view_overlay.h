#pragma once

#include <QImage>
#include <vector>

#include "score/score_view.h"

namespace kelvara {

// The view's pen: navy, in the not-xor mix (result = NOT(screen XOR pen)),
// so drawing the same line twice restores the picture.
constexpr QRgb kViewPenColour = 0x000080;

// Draws `lines` onto `picture` (RGB32) with the self-inverting pen. As with a
// pen moved from point to point, a line's last pixel is left out, so the
// corners of a box are touched once. `originX` is the picture's left edge in
// score-picture coordinates.
void invertLines(QImage& picture, const std::vector<Line>& lines, int originX = 0);

}  // namespace kelvara
