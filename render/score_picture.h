#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>

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
  // When the memory for the new picture cannot be had the picture stays as
  // it was, allocationFailed() turns true and false is returned.
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
  // A black line one pixel wide.
  void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  // Writes a non-negative number in the built-in digit set (6 pixels a digit,
  // 9 high) with its top-left corner at (x, y).
  void number(int32_t value, int32_t x, int32_t y);
  // Width in pixels of `value` written by number().
  static int32_t numberWidth(int32_t value);

 private:
  void setPixelBlack(int32_t x, int32_t y);

  QImage image_;
  bool allocationFailed_ = false;
};

}  // namespace kelvara
