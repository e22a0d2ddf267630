#include <filesystem>

#include "print_fixture.h"
#include "support/golden_picture.h"

namespace kelvara::testing {

void expectGolden(const std::string& name, const QImage& picture) {
  expectGoldenIn(std::filesystem::path(SOURCE_DIR) / "tests" / "print" / "golden", name, picture);
}

int inkIn(const QImage& picture, const QRect& area) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  const QRect inside = area.intersected(rgb.rect());
  int ink = 0;
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = inside.left(); x <= inside.right(); ++x) ink += qGray(row[x]) < 250;
  }
  return ink;
}

}  // namespace kelvara::testing
