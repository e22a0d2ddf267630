#include "render/score_picture.h"

#include "render/line_walk.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace kelvara {

namespace {

// Digits 0..9, five columns by seven rows, one byte a row, bit 4 leftmost.
constexpr uint8_t kDigitRows[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}};
constexpr int32_t kDigitAdvance = 6;
constexpr int32_t kDigitTopMargin = 1;

}  // namespace

void ScorePicture::note(const DrawOp& op) {
  try {
    log_->ops.push_back(op);
    log_->compactIfLarge();
  } catch (const std::bad_alloc&) {
    // Without the memory the log cannot follow the picture any more.
    log_->ops.clear();
    log_->incomplete = true;
  }
}

void ScorePicture::reset(const QImage& page) {
  storage_.reset();
  stride_ = 0;
  allocationFailed_ = false;
  image_ = page.convertToFormat(QImage::Format_Grayscale8);
  if (image_.isNull() && !page.isNull()) allocationFailed_ = true;
  if (log_) {
    log_->ops.clear();
    log_->incomplete = false;
    DrawOp op;
    op.glyph = page.cacheKey();
    op.area = page.rect();
    op.copy = true;
    note(op);
  }
  if (image_.isNull()) {
    // No page picture (a test without artwork): a white page of the usual size.
    image_ = QImage(742, 384, QImage::Format_Grayscale8);
    if (image_.isNull()) {
      allocationFailed_ = true;
      return;
    }
    image_.fill(255);
  }
}

QImage ScorePicture::imageOverStorage(int32_t width, int32_t height) const {
  // Each picture over the rows holds a reference to them, so a copy handed
  // out stays valid after the rows are replaced.
  auto* keep = new std::shared_ptr<uint8_t[]>(storage_);
  return QImage(
      storage_.get(), width, height, stride_, QImage::Format_Grayscale8,
      [](void* info) { delete static_cast<std::shared_ptr<uint8_t[]>*>(info); }, keep);
}

bool ScorePicture::setWidth(int32_t width) {
  const int32_t old = image_.width();
  if (width == old) return true;
  if (width <= 0 || image_.isNull()) return false;
  const int32_t height = image_.height();
  // What a shrink cuts off is white when the picture grows again.
  if (log_ && width < old) {
    DrawOp op;
    op.kind = DrawOp::Kind::Erase;
    op.area = QRect(width, 0, old - width, height);
    note(op);
  }
  // The rows can be reused when nobody else looks at them: this picture's
  // storage, no copy of the picture handed out, room enough, and not far
  // too much room after a shrink.
  const bool reusable = storage_ && image_.constBits() == storage_.get() &&
                        storage_.use_count() == 2 && image_.isDetached() && width <= stride_ &&
                        width >= stride_ / 4;
  if (reusable) {
    image_ = imageOverStorage(width, height);
    if (width > old) {
      uint8_t* row = storage_.get();
      for (int32_t y = 0; y < height; ++y, row += stride_) {
        std::memset(row + old, 255, static_cast<size_t>(width - old));
      }
    }
    return true;
  }
  // New rows with half as much again to grow into, rounded to 64 bytes.
  const qsizetype stride = (static_cast<qsizetype>(width) + width / 2 + 63) / 64 * 64;
  std::shared_ptr<uint8_t[]> rows(new (std::nothrow) uint8_t[stride * height]);
  if (!rows) {
    allocationFailed_ = true;
    return false;
  }
  const auto keep = static_cast<size_t>(std::min(width, old));
  const qsizetype fromStride = image_.bytesPerLine();
  const uint8_t* from = image_.constBits();
  uint8_t* to = rows.get();
  for (int32_t y = 0; y < height; ++y, from += fromStride, to += stride) {
    std::memcpy(to, from, keep);
    std::memset(to + keep, 255, static_cast<size_t>(stride) - keep);
  }
  image_ = QImage();
  storage_ = std::move(rows);
  stride_ = stride;
  image_ = imageOverStorage(width, height);
  return true;
}

void ScorePicture::blit(const QImage& glyph, int32_t x, int32_t y, Mode mode) {
  blit(glyph, glyph.rect(), x, y, mode);
}

void ScorePicture::blitCut(const QImage& glyph, const QRect& source, int32_t x, int32_t y,
                           Mode mode) {
  cut_ = true;
  blit(glyph, source, x, y, mode);
  cut_ = false;
}

void ScorePicture::erase(const QRect& area) {
  const QRect inside = area.intersected(image_.rect());
  if (inside.isEmpty()) return;
  if (log_) {
    DrawOp op;
    op.kind = DrawOp::Kind::Erase;
    op.area = inside;
    note(op);
  }
  uint8_t* bits = image_.bits();
  if (bits == nullptr) {
    allocationFailed_ = true;
    return;
  }
  const qsizetype stride = image_.bytesPerLine();
  for (int32_t y = inside.top(); y <= inside.bottom(); ++y) {
    std::memset(bits + y * stride + inside.left(), 255, static_cast<size_t>(inside.width()));
  }
}

void ScorePicture::blit(const QImage& glyph, const QRect& source, int32_t x, int32_t y, Mode mode) {
  if (glyph.isNull() || source.isEmpty()) return;
  const QRect part = source.intersected(glyph.rect());
  x += part.left();
  y += part.top();
  const int32_t left = std::max(0, x);
  const int32_t top = std::max(0, y);
  const int32_t right = std::min(image_.width(), x + part.width());
  const int32_t bottom = std::min(image_.height(), y + part.height());
  if (left >= right || top >= bottom) return;
  if (log_) {
    DrawOp op;
    op.glyph = glyph.cacheKey();
    op.area = QRect(x, y, part.width(), part.height());
    op.x = x - part.left();
    op.y = y - part.top();
    op.copy = mode == Mode::Copy;
    op.cut = cut_;
    note(op);
  }
  const auto count = static_cast<size_t>(right - left);
  // Row pointers are stepped by hand: scanLine() checks for sharing on every
  // call, which costs more than a narrow glyph row itself.
  // bits() makes the picture's own copy of shared rows, and gives none when
  // that copy cannot get its memory.
  uint8_t* bits = image_.bits();
  if (bits == nullptr) {
    allocationFailed_ = true;
    return;
  }
  const qsizetype dstStride = image_.bytesPerLine();
  const qsizetype srcStride = glyph.bytesPerLine();
  uint8_t* dst = bits + top * dstStride + left;
  const uint8_t* src =
      glyph.constBits() + (part.top() + top - y) * srcStride + (part.left() + left - x);
  for (int32_t row = top; row < bottom; ++row, dst += dstStride, src += srcStride) {
    if (mode == Mode::Copy) {
      std::memcpy(dst, src, count);
    } else {
      for (size_t i = 0; i < count; ++i) dst[i] = std::min(dst[i], src[i]);
    }
  }
}

void ScorePicture::setPixelBlack(int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
  uchar* row = image_.scanLine(y);
  if (row == nullptr) {
    allocationFailed_ = true;
    return;
  }
  row[x] = 0;
}

void ScorePicture::lines(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t rows) {
  uchar* bits = image_.bits();
  const int32_t width = image_.width();
  const int32_t height = image_.height();
  const bool inside = std::min({x0, x1, y0, y1}) >= 0 && std::max(x0, x1) < width &&
                      std::max(y0, y1) + rows - 1 < height;
  if (bits == nullptr || !inside || rows < 1) {
    for (int32_t r = 0; r < rows; ++r) line(x0, y0 + r, x1, y1 + r);
    return;
  }
  if (log_) {
    for (int32_t r = 0; r < rows; ++r) {
      DrawOp op;
      op.kind = DrawOp::Kind::Line;
      op.x = x0;
      op.y = y0 + r;
      op.x1 = x1;
      op.y1 = y1 + r;
      note(op);
    }
  }
  LineWalk walk(x0, y0, x1, y1);
  const qsizetype stride = image_.bytesPerLine();
  if (rows > 1 && walk.shallow()) {
    // A shallow band (a beam): the pixels of the walk on one row lie side by
    // side, so each row's run is filled at once in every row of the band.
    int32_t runFrom = walk.x;
    int32_t runTo = walk.x;
    int32_t runY = walk.y;
    auto fill = [&] {
      uchar* at = bits + runY * stride + std::min(runFrom, runTo);
      const auto length = static_cast<size_t>(std::abs(runTo - runFrom) + 1);
      for (int32_t r = 0; r < rows; ++r, at += stride) std::memset(at, 0, length);
    };
    for (;; walk.step()) {
      if (walk.y != runY) {
        fill();
        runFrom = walk.x;
        runY = walk.y;
      }
      runTo = walk.x;
      if (walk.atEnd()) break;
    }
    fill();
    return;
  }
  // The lines share their steps: each pixel of the first is the top of a
  // column of `rows` pixels.
  for (;; walk.step()) {
    uchar* column = bits + walk.y * stride + walk.x;
    for (int32_t r = 0; r < rows; ++r, column += stride) *column = 0;
    if (walk.atEnd()) return;
  }
}

void ScorePicture::line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  // The rows are fetched once a line, not once a pixel: beams and stems are
  // drawn as many lines. A line wholly inside takes the unchecked walk.
  uchar* bits = image_.bits();
  const int32_t width = image_.width();
  const int32_t height = image_.height();
  if (bits != nullptr && std::min({x0, x1, y0, y1}) >= 0 && std::max(x0, x1) < width &&
      std::max(y0, y1) < height) {
    lines(x0, y0, x1, y1, 1);
    return;
  }
  if (log_) {
    DrawOp op;
    op.kind = DrawOp::Kind::Line;
    op.x = x0;
    op.y = y0;
    op.x1 = x1;
    op.y1 = y1;
    note(op);
  }
  if (bits == nullptr) {
    allocationFailed_ = true;
    return;
  }
  const qsizetype stride = image_.bytesPerLine();
  for (LineWalk walk(x0, y0, x1, y1);; walk.step()) {
    if (walk.x >= 0 && walk.y >= 0 && walk.x < width && walk.y < height) {
      bits[walk.y * stride + walk.x] = 0;
    }
    if (walk.atEnd()) break;
  }
}

int32_t ScorePicture::numberWidth(int32_t value) {
  return kDigitAdvance * static_cast<int32_t>(std::to_string(value).size());
}

void ScorePicture::number(int32_t value, int32_t x, int32_t y, DrawOp::Align align) {
  if (log_) {
    DrawOp op;
    op.kind = DrawOp::Kind::Number;
    op.x = x;
    op.y = y;
    op.value = value;
    op.align = align;
    note(op);
  }
  const std::string digits = std::to_string(value);
  for (char c : digits) {
    if (c >= '0' && c <= '9') {
      const auto& rows = kDigitRows[c - '0'];
      for (int32_t r = 0; r < 7; ++r) {
        for (int32_t col = 0; col < 5; ++col) {
          if (rows[r] & (0x10 >> col)) setPixelBlack(x + col, y + kDigitTopMargin + r);
        }
      }
    }
    x += kDigitAdvance;
  }
}

}  // namespace kelvara
