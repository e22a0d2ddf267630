#include "render/view_overlay.h"

#include <cstdlib>

namespace kelvara {

namespace {

void invertPixel(QImage& picture, int x, int y) {
  if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height()) return;
  auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
  row[x] = 0xFF000000u | (~(row[x] ^ kViewPenColour) & 0x00FFFFFFu);
}

}  // namespace

void invertLines(QImage& picture, const std::vector<Line>& lines, int originX) {
  for (const Line& l : lines) {
    int x = l.x0 - originX;
    int y = l.y0;
    const int x1 = l.x1 - originX;
    const int y1 = l.y1;
    const int dx = std::abs(x1 - x);
    const int dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1;
    const int sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    while (x != x1 || y != y1) {
      invertPixel(picture, x, y);
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
}

}  // namespace kelvara
