#include "render/glyph_table.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "render/jpeg_codec.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

constexpr std::array<const char*, kGlyphCount> kFileNames = {
    "1bu.bmp",   "2bu.bmp",   "4bu.bmp",   "8bu.bmp",    "16bu.bmp",   "32bu.bmp",   "64bu.bmp",
    "2bu_u.bmp", "4bu_u.bmp", "8bu_u.bmp", "16bu_u.bmp", "32bu_u.bmp", "64bu_u.bmp", "1q.bmp",
    "2q.bmp",    "4q.bmp",    "8q.bmp",    "16q.bmp",    "32q.bmp",    "64q.bmp",    "sen.bmp",
    "kuro.bmp",  "siro.bmp",  "s.bmp",     "f.bmp",      "n.bmp",      "tai.bmp",    "tai_u.bmp",
    "st.bmp",    "5sen3.bmp", "5sen.bmp",  "page.bmp",   "tohe.bmp",   "2.bmp",      "3.bmp",
    "4.bmp",     "6.bmp",     "8.bmp",     "9.bmp",      "k1.bmp",     "k2.jpg",     "k3.bmp",
    "k4.jpg",    "k5.jpg",    "k6.jpg",    "k7.jpg"};

bool isKeyboardFrame(int index) {
  return index >= static_cast<int>(Glyph::Keyboard1);
}

// The smallest rectangle holding every pixel of `image` that is not white.
QRect inkRect(const QImage& image) {
  int left = image.width();
  int right = -1;
  int top = image.height();
  int bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      if (row[x] == 0xFF) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return {};
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

const char* glyphFileName(Glyph glyph) {
  return kFileNames[static_cast<int>(glyph)];
}

std::string GlyphTable::load(const std::string& folder) {
  namespace fs = std::filesystem;
  loaded_ = false;
  larger_ = {};
  for (int i = 0; i < kGlyphCount; ++i) {
    const std::string name = kFileNames[i];
    const std::string path = (fs::path(folder) / name).string();
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
      return fillText(uiText("kelvara::Render", "絵のファイル %1 がフォルダ %2 にありません。"),
                      {name, folder});
    }
    QImage image;
    if (fs::path(name).extension() == ".jpg") {
      const std::string error = decodeJpeg(path, image);
      if (!error.empty()) return error;
    } else if (!image.load(QString::fromStdString(path), "BMP")) {
      return fillText(uiText("kelvara::Render", "絵のファイル %1（フォルダ %2）を読み込めません。"),
                      {name, folder});
    }
    if (isKeyboardFrame(i)) {
      images_[i] = image.convertToFormat(QImage::Format_RGB32);
      inks_[i] = images_[i].rect();
    } else {
      images_[i] = image.convertToFormat(QImage::Format_Grayscale8);
      inks_[i] = inkRect(images_[i]);
    }
  }
  loaded_ = true;
  folder_ = folder;
  return {};
}

std::string GlyphTable::loadScaled(const std::string& folder, int scale) {
  namespace fs = std::filesystem;
  loaded_ = false;
  const fs::path dir = fs::path(folder) / (std::to_string(scale) + "x");
  for (int i = 0; i < static_cast<int>(Glyph::Keyboard1); ++i) {
    const std::string name = fs::path(kFileNames[i]).replace_extension(".png").string();
    const std::string path = (dir / name).string();
    QImage image;
    if (!image.load(QString::fromStdString(path), "PNG")) {
      return fillText(uiText("kelvara::Render", "絵のファイル %1（フォルダ %2）を読み込めません。"),
                      {name, dir.string()});
    }
    images_[i] = image.convertToFormat(QImage::Format_Grayscale8);
    inks_[i] = inkRect(images_[i]);
  }
  scale_ = scale;
  loaded_ = true;
  folder_ = dir.string();
  return {};
}

const GlyphTable* GlyphTable::scaled(int scale) const {
  if (scale != 2 && scale != 4) return nullptr;
  Larger& set = larger_[scale == 2 ? 0 : 1];
  if (!set.tried) {
    set.tried = true;
    auto table = std::make_unique<GlyphTable>();
    set.error =
        loaded_ ? table->loadScaled(folder_, scale) : uiText("kelvara::Render", "絵がありません。");
    if (set.error.empty()) set.table = std::move(table);
  }
  return set.table.get();
}

std::string GlyphTable::scaledError(int scale) const {
  if (scale != 2 && scale != 4) return uiText("kelvara::Render", "絵の倍率は 2 か 4 です。");
  return larger_[scale == 2 ? 0 : 1].error;
}

Glyph GlyphTable::glyphOf(qint64 cacheKey) const {
  for (int i = 0; i < kGlyphCount; ++i) {
    if (images_[i].cacheKey() == cacheKey) return static_cast<Glyph>(i);
  }
  return Glyph::Count;
}

std::string findGlyphFolder(const std::string& executableDir) {
  namespace fs = std::filesystem;
  std::vector<fs::path> candidates;
  if (const char* env = std::getenv("KELVARA_GLYPHS"); env != nullptr && *env != '\0') {
    candidates.emplace_back(env);
  }
  candidates.push_back(fs::path(executableDir) / "onpu");
  candidates.push_back(fs::path(executableDir) / ".." / "share" / "kelvara" / "onpu");
  for (const fs::path& folder : candidates) {
    std::error_code ec;
    if (fs::is_regular_file(folder / kFileNames[0], ec)) return folder.lexically_normal().string();
  }
  // None has the pictures: name the usual place in the error that follows.
  return (fs::path(executableDir) / "onpu").string();
}

}  // namespace kelvara
