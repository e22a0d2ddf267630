#include "render/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <array>
#include <sstream>

#include "render/glyph_table.h"

namespace kelvara {

namespace {

// The icon is laid out on a 256-unit square. A staff space is 24 units, so
// the glyphs (16 pixels a space) are drawn 1.5 times their size.
constexpr double kUnits = 256;
constexpr double kScale = 1.5;
constexpr double kPaperInset = 16;
constexpr double kPaperRadius = 28;
constexpr double kPaperBorder = 6;
constexpr double kStaffLeft = 36;
constexpr double kStaffRight = 220;
constexpr double kStaffTop = 80;
constexpr double kStaffSpace = 24;
constexpr double kLineWidth = 3;
const char* const kBorderColour = "#3c4a5c";
const char* const kInkColour = "#000000";

// A note and where its head's centre goes; the head sits at (40, 72) of the
// stem-up glyphs.
struct PlacedNote {
  Glyph glyph;
  double headX, headY;
};
constexpr std::array<PlacedNote, 2> kNotes = {{
    {Glyph::Note8, 86, kStaffTop + 3.5 * kStaffSpace},  // in the lowest space
    {Glyph::Note4, 164, kStaffTop + 2 * kStaffSpace},   // on the middle line
}};
constexpr double kHeadX = 40;
constexpr double kHeadY = 72;

QPointF glyphOrigin(const PlacedNote& note) {
  return {note.headX - kHeadX * kScale, note.headY - kHeadY * kScale};
}

}  // namespace

QImage drawAppIcon(const GlyphTable& glyphs, int size) {
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.scale(size / kUnits, size / kUnits);
  painter.setPen(QPen(QColor(QLatin1String(kBorderColour)), kPaperBorder));
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(
      QRectF(kPaperInset, kPaperInset, kUnits - 2 * kPaperInset, kUnits - 2 * kPaperInset),
      kPaperRadius, kPaperRadius);
  painter.setPen(QPen(QColor(QLatin1String(kInkColour)), kLineWidth));
  for (int line = 0; line < 5; ++line) {
    const double y = kStaffTop + line * kStaffSpace;
    painter.drawLine(QPointF(kStaffLeft, y), QPointF(kStaffRight, y));
  }
  for (const PlacedNote& note : kNotes) {
    // The glyph's white is see-through: only its ink is put on the paper.
    const QImage& glyph = glyphs[note.glyph];
    QImage ink(glyph.size(), QImage::Format_ARGB32);
    for (int y = 0; y < glyph.height(); ++y) {
      for (int x = 0; x < glyph.width(); ++x) {
        ink.setPixel(x, y, qRgba(0, 0, 0, 255 - qGray(glyph.pixel(x, y))));
      }
    }
    painter.drawImage(QRectF(glyphOrigin(note), QSizeF(glyph.size()) * kScale), ink);
  }
  return icon;
}

std::string appIconSvg(const GlyphTable& glyphs) {
  std::ostringstream svg;
  svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
         "viewBox=\"0 0 256 256\">\n"
      << "  <rect x=\"" << kPaperInset << "\" y=\"" << kPaperInset << "\" width=\""
      << kUnits - 2 * kPaperInset << "\" height=\"" << kUnits - 2 * kPaperInset << "\" rx=\""
      << kPaperRadius << "\" fill=\"#ffffff\" stroke=\"" << kBorderColour << "\" stroke-width=\""
      << kPaperBorder << "\"/>\n"
      << "  <g stroke=\"" << kInkColour << "\" stroke-width=\"" << kLineWidth << "\">\n";
  for (int line = 0; line < 5; ++line) {
    const double y = kStaffTop + line * kStaffSpace;
    svg << "    <line x1=\"" << kStaffLeft << "\" y1=\"" << y << "\" x2=\"" << kStaffRight
        << "\" y2=\"" << y << "\"/>\n";
  }
  svg << "  </g>\n";
  // Each glyph's ink: runs of pixels darker than mid-grey, one path a note.
  for (const PlacedNote& note : kNotes) {
    const QImage& glyph = glyphs[note.glyph];
    const QPointF origin = glyphOrigin(note);
    svg << "  <path fill=\"" << kInkColour << "\" transform=\"translate(" << origin.x() << " "
        << origin.y() << ") scale(" << kScale << ")\" d=\"";
    for (int y = 0; y < glyph.height(); ++y) {
      int x = 0;
      while (x < glyph.width()) {
        if (qGray(glyph.pixel(x, y)) >= 128) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < glyph.width() && qGray(glyph.pixel(x, y)) < 128) ++x;
        svg << "M" << start << " " << y << "h" << x - start << "v1h" << start - x << "z";
      }
    }
    svg << "\"/>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

}  // namespace kelvara
