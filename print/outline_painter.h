#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "render/drawing_log.h"
#include "render/glyph_outlines.h"
#include "render/glyph_table.h"

class QFont;
class QPainter;

namespace kelvara {

// The font of the numbers and names on printed pages, `height` units of the
// painter from the top of a digit to its foot. The set-up installs it, so
// pages look the same on every machine.
QFont pageTextFont(double height);

// Draws what a score picture's drawing log put into a part of the picture as
// vectors into a rectangle of a page: staff, ledger, stem and bar lines as
// lines, ties as curves, glyphs as the font's outlines, numbers as text. The
// part is scaled by the rectangle's height; glyphs keep their shape.
class OutlinePainter {
 public:
  // How the part's width meets the rectangle's.
  enum class Spacing {
    // A bar: the spacing of its 70-pixel cells stretches to the width, each
    // cell's contents keep their shape around the cell's head column. A bar
    // too wide for the rectangle is scaled down whole, centred in its height,
    // its bar lines as high as the rectangle's staff.
    Cells,
    // The clef area: the staff stretches, each picture keeps its shape
    // around its own middle.
    Pictures,
  };

  OutlinePainter(const GlyphTable& glyphs, const GlyphOutlines& outlines)
      : glyphs_(glyphs), outlines_(outlines) {}

  // The thinnest line drawn and the smallest number height, in units of the
  // painter (a device pixel, half a millimetre of paper, ...).
  void setMinimumLine(double width) { minLine_ = width; }
  void setMinimumTextHeight(double height) { minText_ = height; }
  // Font glyphs as text in the music font (a PDF embeds the font once and
  // names each glyph in a few bytes) rather than as filled outlines.
  void setGlyphsAsText(bool text) { glyphsAsText_ = text; }
  // Glyphs as their 1x pictures rather than their outlines: what is left to
  // draw when the outlines or the fonts cannot be read.
  void setGlyphsAsPictures(bool pictures) { glyphsAsPictures_ = pictures; }
  // The glyphs that keep their shape (notes, rests, signs, digits) as the
  // pictures of `set` (2x or 4x; none: as outlines), put on whole device
  // pixels: at the set's own scale as they are, at another scale resampled
  // once to it. Lines, curves, numbers and the pictures that stretch are
  // drawn as before.
  void setGlyphPictures(const GlyphTable* set) { pictureSet_ = set; }

  // Draws `log`'s drawing of `source` (score-picture pixels) into `target`.
  void draw(QPainter& painter, const DrawingLog& log, const QRect& source, const QRectF& target,
            Spacing spacing) const;

 private:
  // Puts glyph `g` of the picture set with its top-left corner at `at`,
  // `scale` device pixels a logical pixel: false when it cannot be had.
  bool putPicture(QPainter& painter, Glyph g, QPointF at, double scale) const;

  const GlyphTable& glyphs_;
  const GlyphOutlines& outlines_;
  const GlyphTable* pictureSet_ = nullptr;
  // The set's pictures resampled, by glyph and size; shared by the copies of
  // a painter, so the pages of one output resample each glyph once.
  std::shared_ptr<std::map<std::pair<int, int64_t>, QImage>> resampled_ =
      std::make_shared<std::map<std::pair<int, int64_t>, QImage>>();
  double minLine_ = 1.0;
  double minText_ = 0.0;
  bool glyphsAsText_ = false;
  bool glyphsAsPictures_ = false;
};

}  // namespace kelvara
