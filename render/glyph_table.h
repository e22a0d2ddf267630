#pragma once

#include <QImage>
#include <QRect>
#include <array>
#include <memory>
#include <string>

namespace kelvara {

// The pictures the score and the on-screen keyboard are composed from, in
// loading order. The page picture is loaded once here; the score picture
// starts as a copy of it.
enum class Glyph {
  Note1,
  Note2,
  Note4,
  Note8,
  Note16,
  Note32,
  Note64,  // stem up (the whole note has none)
  Note2Down,
  Note4Down,
  Note8Down,
  Note16Down,
  Note32Down,
  Note64Down,
  Rest1,
  Rest2,
  Rest4,
  Rest8,
  Rest16,
  Rest32,
  Rest64,
  Ledger,
  BlackHead,
  WhiteHead,
  Sharp,
  Flat,
  Natural,
  Tie,
  TieDown,
  Shortened,
  BarLineTile,
  StaffTile,
  Page,
  Clef,
  Digit2,
  Digit3,
  Digit4,
  Digit6,
  Digit8,
  Digit9,
  Keyboard1,
  Keyboard2,
  Keyboard3,
  Keyboard4,
  Keyboard5,
  Keyboard6,
  Keyboard7,
  Count
};

constexpr int kGlyphCount = static_cast<int>(Glyph::Count);

// File name of a picture inside the glyph folder.
const char* glyphFileName(Glyph glyph);

class GlyphTable {
 public:
  // Loads every picture from `folder`. Returns an error naming the file and
  // the folder, empty on success. Score glyphs become 8-bit greyscale; the
  // keyboard frames stay in colour.
  std::string load(const std::string& folder);

  const QImage& operator[](Glyph glyph) const { return images_[static_cast<int>(glyph)]; }
  // The part of a score glyph that is not white (the whole picture for the
  // keyboard frames); an empty rectangle for a picture that is all white.
  const QRect& ink(Glyph glyph) const { return inks_[static_cast<int>(glyph)]; }
  bool loaded() const { return loaded_; }
  // The folder the pictures came from.
  const std::string& folder() const { return folder_; }
  // The glyph whose picture (or a copy of it) has this cache key; Count for
  // a picture that is none of them.
  Glyph glyphOf(qint64 cacheKey) const;

  // Logical pixels are drawn as scale() x scale() pixels of these pictures:
  // 1 for the set load() reads.
  int scale() const { return scale_; }
  // The score glyphs at 2 or 4 times the resolution, read from the folder
  // "2x" or "4x" of this set's folder on first use and kept; the keyboard
  // frames stay empty. Null when that set cannot be read (or `scale` is
  // neither): its error is then scaledError().
  const GlyphTable* scaled(int scale) const;
  std::string scaledError(int scale) const;

 private:
  // Reads the score glyphs of the set at `scale` from `folder`/<scale>x.
  std::string loadScaled(const std::string& folder, int scale);

  struct Larger {
    bool tried = false;
    std::unique_ptr<GlyphTable> table;
    std::string error;
  };
  // The sets at 2x and 4x, read on first use.
  mutable std::array<Larger, 2> larger_;
  int scale_ = 1;
  std::string folder_;
  std::array<QImage, kGlyphCount> images_;
  std::array<QRect, kGlyphCount> inks_;
  bool loaded_ = false;
};

// Finds the glyph folder "onpu": beside the executable, in the installed
// data folder, or named by KELVARA_GLYPHS. Empty when none has the pictures.
std::string findGlyphFolder(const std::string& executableDir);

}  // namespace kelvara
