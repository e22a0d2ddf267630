#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "render/glyph_table.h"

namespace kelvara {

// A font glyph as placed in a picture: its outline in picture pixels around
// the glyph's origin, and where that origin lies; and the same as text: the
// font file, the glyph's character in it and picture pixels a font unit.
struct PlacedGlyph {
  QPointF origin;
  QPainterPath outline;  // relative to `origin`
  QString fontFile;
  char16_t character = 0;
  QPointF perUnit;  // x and y; the font's y axis points up
  int unitsPerEm = 1000;
};

// The first character of the glyphs in the pages' fonts: glyph i is typed
// as kFirstGlyphCharacter + i.
constexpr char16_t kFirstGlyphCharacter = 0xE000;
constexpr char16_t kLastGlyphCharacter = 0xF8FF;

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
  // file and the first line that is not as the generator writes it, empty
  // on success; nothing is kept then. Every score glyph must have its shapes.
  std::string load(const std::string& folder);

  const PictureOutline& operator[](Glyph glyph) const { return pictures_[static_cast<int>(glyph)]; }

 private:
  std::array<PictureOutline, kGlyphCount> pictures_;
};

}  // namespace kelvara
