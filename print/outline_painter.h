#pragma once

#include <QRect>
#include <QRectF>

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
    // too wide for the rectangle is scaled down whole, centred in its height.
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

  // Draws `log`'s drawing of `source` (score-picture pixels) into `target`.
  void draw(QPainter& painter, const DrawingLog& log, const QRect& source, const QRectF& target,
            Spacing spacing) const;

 private:
  const GlyphTable& glyphs_;
  const GlyphOutlines& outlines_;
  double minLine_ = 1.0;
  double minText_ = 0.0;
  bool glyphsAsText_ = false;
  bool glyphsAsPictures_ = false;
};

}  // namespace kelvara
