#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <memory>

#include "render/drawing_log.h"

namespace kelvara {

// The off-screen score picture: 8-bit greyscale, black ink on white. Glyphs
// are combined with it by copy (the glyph replaces what is there) or by AND
// (dark pixels darken, white ones leave the picture as it is).
class ScorePicture {
 public:
  enum class Mode { Copy, And };

  // Starts the picture as a copy of `page`.
  void reset(const QImage& page);
  // Grows or shrinks the picture to `width` pixels; new columns are white.
  // Rows are kept with room to spare, so that growing step by step does not
  // copy the whole picture each time. False, with the picture unchanged,
  // when the memory for it cannot be had.
  bool setWidth(int32_t width);
  // Whether a picture could not be made for lack of memory since reset().
  bool allocationFailed() const { return allocationFailed_; }
  // Forgets a failure once it has been reported.
  void clearAllocationFailure() { allocationFailed_ = false; }
  int32_t width() const { return image_.width(); }
  int32_t height() const { return image_.height(); }
  const QImage& image() const { return image_; }

  // Puts `glyph` with its top-left corner at (x, y), clipped to the picture.
  void blit(const QImage& glyph, int32_t x, int32_t y, Mode mode);
  // Puts the part `source` of `glyph` where blit() would put it with the
  // whole glyph at (x, y).
  void blit(const QImage& glyph, const QRect& source, int32_t x, int32_t y, Mode mode);
  // As blit() with `source`, where the rest of the glyph must stay unseen also
  // where the glyph is drawn from its shapes (a staff cut short).
  void blitCut(const QImage& glyph, const QRect& source, int32_t x, int32_t y, Mode mode);
  // Makes `area` white.
  void erase(const QRect& area);
  // A black line one pixel wide.
  void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  // `rows` such lines, each one row below the one before (a beam): the same
  // pixels as drawing them one by one, walked once.
  void lines(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t rows);
  // Writes a non-negative number in the built-in digit set (6 pixels a digit,
  // 9 high) with its top-left corner at (x, y). `align` says where a larger
  // printed number stays: at the box's right end or its middle.
  void number(int32_t value, int32_t x, int32_t y, DrawOp::Align align = DrawOp::Align::Right);
  // Width in pixels of `value` written by number().
  static int32_t numberWidth(int32_t value);

  // From now on every drawing call is also noted in `log` (none: nothing is
  // noted). The log is the caller's; reset() and setWidth() note what they do.
  void setLog(DrawingLog* log) { log_ = log; }

 private:
  void setPixelBlack(int32_t x, int32_t y);
  // Adds `op` to the log.
  void note(const DrawOp& op);
  // A picture `width` x `height` pixels over the rows of storage_.
  QImage imageOverStorage(int32_t width, int32_t height) const;

  // The pixel rows: stride_ bytes each, of which the picture uses the first
  // width(). Shared with image_ (and any copy of it) until they are gone.
  std::shared_ptr<uint8_t[]> storage_;
  qsizetype stride_ = 0;
  QImage image_;
  bool allocationFailed_ = false;
  bool cut_ = false;  // the blit under way is one of blitCut()
  DrawingLog* log_ = nullptr;
};

}  // namespace kelvara
