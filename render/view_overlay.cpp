#include "render/view_overlay.h"

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
    forEachPenPixel(l, [&](int x, int y) { invertPixel(picture, x - originX, y); });
  }
}

}  // namespace kelvara
