// Greyscale ink canvas used for every notation picture.
//
// Coordinates are continuous pixel coordinates with y pointing down: pixel
// (c, r) covers [c, c+1) x [r, r+1), so a one-pixel line "at row 112" is the
// band 112..113 and its centre is 112.5. Ink is coverage in 0..1 and shapes
// combine with max(), which is what the editor's darken blit does with the
// finished pictures too. A canvas made at scale k holds k x k pixels for each
// of these (logical) pixels: the same drawing at k times the resolution.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class QPainterPath;

class Canvas {
 public:
  // width x height logical pixels, at the scale set by setScale().
  Canvas(int width, int height);

  // The scale of the canvases made from now on (1, 2 or 4).
  static void setScale(int scale);

  int scale() const { return scale_; }
  // Size in pixels of the picture (logical size x scale).
  int width() const { return width_; }
  int height() const { return height_; }

  float ink(int x, int y) const { return ink_[static_cast<std::size_t>(y) * width_ + x]; }
  void addInk(int x, int y, float coverage);

  // Shapes in logical pixels.
  // Axis-aligned rectangle with exact box-filter coverage at fractional edges.
  void fillRect(double x0, double y0, double x1, double y1);
  // Anti-aliased fill of an arbitrary path (non-zero winding).
  void fillPath(const QPainterPath& path);

  // 0 = black ink, 255 = white paper; rows top to bottom.
  std::vector<uint8_t> toGrey() const;

  // What was drawn, one line of the outline file per shape: the rectangles
  // and paths as they are, the font glyphs by font, index and placement.
  void note(std::string line) { recipe_.push_back(std::move(line)); }
  const std::vector<std::string>& recipe() const { return recipe_; }

 private:
  std::vector<std::string> recipe_;
  int scale_;
  int width_;
  int height_;
  std::vector<float> ink_;
};
