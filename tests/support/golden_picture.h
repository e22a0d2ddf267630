#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kelvara::testing {

// Compares `picture` pixel for pixel with `folder`/`name`.png. On a mismatch
// the drawn picture is written beside it as .actual.png; with
// KELVARA_UPDATE_GOLDEN=1 the drawn picture becomes the reference.
inline void expectGoldenIn(const std::filesystem::path& folder, const std::string& name,
                           const QImage& picture) {
  namespace fs = std::filesystem;
  const fs::path reference = folder / (name + ".png");
  const fs::path actual = folder / (name + ".actual.png");
  const QImage shown = picture.convertToFormat(QImage::Format_RGB32);
  if (const char* update = std::getenv("KELVARA_UPDATE_GOLDEN"); update && *update == '1') {
    ASSERT_TRUE(shown.save(QString::fromStdString(reference.string()), "PNG"));
    fs::remove(actual);
    return;
  }
  const QImage expected = QImage(QString::fromStdString(reference.string()), "PNG")
                              .convertToFormat(QImage::Format_RGB32);
  int differing = -1;
  if (!expected.isNull() && expected.size() == shown.size()) {
    differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
      const auto* a = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
      const auto* b = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
      for (int x = 0; x < shown.width(); ++x) differing += a[x] != b[x];
    }
  }
  if (differing == 0) {
    fs::remove(actual);
    return;
  }
  shown.save(QString::fromStdString(actual.string()), "PNG");
  ADD_FAILURE() << "picture " << name << " differs from " << reference << " ("
                << (differing < 0 ? std::string("missing or of another size")
                                  : std::to_string(differing) + " pixels")
                << "); the drawn picture is " << actual
                << " — look at both; if the new one is right, rerun with KELVARA_UPDATE_GOLDEN=1";
}

}  // namespace kelvara::testing
