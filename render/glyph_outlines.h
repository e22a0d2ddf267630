#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <array>
#include <string>
#include <vector>

#include "render/glyph_table.h"

namespace kelvara {

// A font glyph as placed in a picture: its outline in picture pixels around
// the glyph's origin, and where that origin lies.
struct PlacedGlyph {
  QPointF origin;
  QPainterPath outline;  // relative to `origin`
};

// The shapes one glyph picture was drawn from: filled rectangles (staff,
// ledger, stem and bar lines), filled curves (ties, dots) and font glyphs.
struct PictureOutline {
  bool present = false;
  std::vector<QRectF> rects;
  QPainterPath curves;
  std::vector<PlacedGlyph> glyphs;
};

// The notation pictures as vector shapes, read from the outline file the
// glyph generator writes beside the pictures and from the fonts it names.
class GlyphOutlines {
 public:
  // Reads `folder`/outlines.txt and its fonts. Returns an error naming the
  // file, empty on success. Every score glyph must have its shapes.
  std::string load(const std::string& folder);

  const PictureOutline& operator[](Glyph glyph) const { return pictures_[static_cast<int>(glyph)]; }

 private:
  std::array<PictureOutline, kGlyphCount> pictures_;
};

}  // namespace kelvara
