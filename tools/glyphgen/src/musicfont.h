// Music font access through FreeType: glyphs are looked up by their
// PostScript names and rasterised straight into a Canvas at an arbitrary
// sub-pixel origin and scale.
#pragma once

#include <string>

class Canvas;

// Ink extent of a glyph in staff spaces relative to its origin, y pointing up
// as in the font.
struct GlyphBox {
  double left = 0, right = 0, bottom = 0, top = 0;
  double width() const { return right - left; }
  double height() const { return top - bottom; }
};

class MusicFont {
 public:
  // unitsPerSpace: font units in one staff space (an Emmentaler em is the
  // height of the staff, four spaces). pixelsPerSpace: rendering size.
  // tag: how the outline file names this font.
  MusicFont(const std::string& path, const std::string& tag, double unitsPerSpace,
            double pixelsPerSpace);
  ~MusicFont();
  MusicFont(const MusicFont&) = delete;
  MusicFont& operator=(const MusicFont&) = delete;

  bool has(const std::string& name) const;
  GlyphBox box(const std::string& name) const;

  // Draws the glyph with its origin at canvas point (ox, oy), scaled by
  // (sx, sy) relative to the standard size.
  void draw(Canvas& canvas, const std::string& name, double ox, double oy, double sx = 1.0,
            double sy = 1.0) const;

  double pixelsPerSpace() const { return pixelsPerSpace_; }
  const std::string& tag() const { return tag_; }
  const std::string& path() const { return path_; }

 private:
  unsigned index(const std::string& name) const;
  void load(unsigned glyph) const;

  struct Impl;
  Impl* impl_;
  std::string tag_;
  std::string path_;
  double unitsPerSpace_;
  double pixelsPerSpace_;
};
