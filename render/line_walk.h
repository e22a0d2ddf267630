#pragma once

#include <cstdint>
#include <cstdlib>

namespace kelvara {

// The walk from one end of a line to the other, a pixel at a time
// (Bresenham's, in every direction).
struct LineWalk {
  LineWalk(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
      : x(x0),
        y(y0),
        endX(x1),
        endY(y1),
        dx(std::abs(x1 - x0)),
        dy(-std::abs(y1 - y0)),
        sx(x0 < x1 ? 1 : -1),
        sy(y0 < y1 ? 1 : -1),
        err(dx + dy) {}
  bool atEnd() const { return x == endX && y == endY; }
  // Whether every step moves along x (a line no steeper than 45 degrees).
  bool shallow() const { return dx >= -dy; }
  void step() {
    const int32_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
  int32_t x, y;
  const int32_t endX, endY, dx, dy, sx, sy;
  int32_t err;
};

}  // namespace kelvara
