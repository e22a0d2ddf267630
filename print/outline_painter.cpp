#include "print/outline_painter.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include "render/score_picture.h"
#include "score/editor_state.h"
#include "score/onpu.h"

namespace kelvara {

namespace {

// Where a note's head sits in its cell: the point a cell keeps its shape around.
constexpr int32_t kHeadColumn = 40;
// The built-in digits are 7 pixels high in a box of 9.
constexpr double kDigitHeight = 7.0;
constexpr double kDigitTop = 1.0;

// Pictures that stretch with the spacing: the staff, the bar line tile, ties
// and the clef area's staff lines (its clefs and brace keep their shape).
bool stretches(Glyph g) {
  return g == Glyph::StaffTile || g == Glyph::BarLineTile || g == Glyph::Page || g == Glyph::Tie ||
         g == Glyph::TieDown || g == Glyph::Clef;
}

// Filled rectangles of the pictures (staff, ledger, stem and bar lines)
// gathered and stroked as lines along their long side, one path a width: a
// PDF names the pen once, and the pieces of a staff line that several
// pictures drew become one line.
class LineBatch {
 public:
  explicit LineBatch(double minWidth) : minWidth_(minWidth) {}

  void add(const QRectF& r) {
    if (r.width() >= r.height()) {
      rows_[{key(std::max(r.height(), minWidth_)), key(r.center().y())}].emplace_back(r.left(),
                                                                                      r.right());
    } else {
      upright_[key(std::max(r.width(), minWidth_))].push_back(r);
    }
  }

  void stroke(QPainter& painter) const {
    std::map<int64_t, QPainterPath> paths;
    for (auto [at, spans] : rows_) {
      std::sort(spans.begin(), spans.end());
      QPainterPath& path = paths[at.first];
      const double y = value(at.second);
      for (size_t i = 0; i < spans.size();) {
        double right = spans[i].second;
        size_t j = i + 1;
        for (; j < spans.size() && spans[j].first <= right + 1e-6; ++j) {
          right = std::max(right, spans[j].second);
        }
        path.moveTo(spans[i].first, y);
        path.lineTo(right, y);
        i = j;
      }
    }
    for (const auto& [width, rects] : upright_) {
      QPainterPath& path = paths[width];
      for (const QRectF& r : rects) {
        path.moveTo(r.center().x(), r.top());
        path.lineTo(r.center().x(), r.bottom());
      }
    }
    painter.setBrush(Qt::NoBrush);
    for (const auto& [width, path] : paths) {
      QPen pen(Qt::black, value(width));
      pen.setCapStyle(Qt::FlatCap);
      painter.setPen(pen);
      painter.drawPath(path);
    }
    painter.setPen(Qt::NoPen);
  }

 private:
  // Widths and rows to a 1/1024 of a unit, so equal ones meet.
  static int64_t key(double v) { return std::llround(v * 1024.0); }
  static double value(int64_t k) { return static_cast<double>(k) / 1024.0; }

  double minWidth_;
  std::map<std::pair<int64_t, int64_t>, std::vector<std::pair<double, double>>> rows_;
  std::map<int64_t, std::vector<QRectF>> upright_;
};

// Font glyphs put as text, drawn together by font and scale: a PDF then
// sets the font and the scale once for all of them.
class GlyphText {
 public:
  void add(const QString& family, int unitsPerEm, double kx, double ky, QPointF at,
           char16_t character) {
    runs_[{family, unitsPerEm, kx, ky}].push_back({at, character});
  }

  void draw(QPainter& painter) const {
    for (const auto& [key, glyphs] : runs_) {
      const auto& [family, unitsPerEm, kx, ky] = key;
      if (kx == 0 || ky == 0) continue;
      // One pixel of the font a font unit, scaled to the picture's pixels.
      QFont font(family);
      font.setPixelSize(unitsPerEm);
      font.setHintingPreference(QFont::PreferNoHinting);
      painter.save();
      painter.scale(kx, ky);
      painter.setFont(font);
      painter.setPen(Qt::black);
      for (const auto& [at, character] : glyphs) {
        painter.drawText(QPointF(at.x() / kx, at.y() / ky), QString(QChar(character)));
      }
      painter.restore();
    }
  }

 private:
  std::map<std::tuple<QString, int, double, double>, std::vector<std::pair<QPointF, char16_t>>>
      runs_;
};

// The family of the music font in `file`, made known to Qt on first use;
// empty when Qt cannot use it.
QString musicFontFamily(const QString& file) {
  // A font stays known as long as the application that was told of it: a
  // later application is told again.
  static std::map<QString, int> added;
  const auto known = added.find(file);
  if (known != added.end()) {
    const QStringList families = QFontDatabase::applicationFontFamilies(known->second);
    if (!families.isEmpty()) return families.front();
    added.erase(known);
  }
  const int id = QFontDatabase::addApplicationFont(file);
  if (id < 0) return {};
  added.emplace(file, id);
  return QFontDatabase::applicationFontFamilies(id).value(0);
}

// The row of a picture that stays on its place when the picture is drawn
// smaller than the staff: the head of a note, the middle of anything else.
double anchorRow(Glyph g, const GlyphTable& glyphs) {
  constexpr double kUpHeadRow = 72.5;
  constexpr double kDownHeadRow = 9.5;
  if (g >= Glyph::Note2Down && g <= Glyph::Note64Down) return kDownHeadRow;
  if ((g >= Glyph::Note1 && g <= Glyph::Note64) || g == Glyph::Ledger || g == Glyph::BlackHead ||
      g == Glyph::WhiteHead) {
    return kUpHeadRow;
  }
  const QRect ink = glyphs.ink(g);
  return ink.isEmpty() ? 0.0 : ink.top() + ink.height() / 2.0;
}

// The mapping of one part of the score picture onto its page rectangle.
struct Mapping {
  double sx = 1, sy = 1;  // stretch across and down
  double g = 1;           // the glyphs' scale: sy, or less in a bar too wide
  double left = 0, top = 0;
  double sourceLeft = 0, sourceTop = 0;
  OutlinePainter::Spacing spacing = OutlinePainter::Spacing::Cells;

  // A bar scaled down whole: its bar lines still span the cell's staff
  // height, so the staves of the bars beside it end on them.
  double barTop = 0, barSy = 1;

  double x(double px) const { return left + (px - sourceLeft) * sx; }
  double y(double py) const { return top + (py - sourceTop) * sy; }
  double barY(double py) const { return barTop + (py - sourceTop) * barSy; }
  // The point a shape drawn around picture x `px` keeps its shape around.
  double anchor(double px) const {
    const double cell = std::floor((px - kMusicLeft) / kCellWidth);
    return kMusicLeft + cell * kCellWidth + kHeadColumn;
  }
  // x of a point of a rigid shape held at `anchorX`.
  double rigid(double px, double anchorX) const { return x(anchorX) + (px - anchorX) * g; }
  double rigidY(double py, double anchorY) const { return y(anchorY) + (py - anchorY) * g; }
};

// Darkens the picture the painter draws into with the greyscale `glyph`,
// its top-left corner at device pixel `at`, inside the painter's clip: one
// pass over the glyph's rows, where QPainter would hand each small glyph to
// its threads. False when the painter's picture is not one of the kinds the
// pages and the view use, or the clip is not a rectangle.
bool darkenInto(QPainter& painter, const QImage& glyph, QPoint at) {
  QPaintDevice* device = painter.device();
  if (device == nullptr || device->devType() != QInternal::Image) return false;
  auto* image = static_cast<QImage*>(device);
  const QImage::Format format = image->format();
  const bool grey = format == QImage::Format_Grayscale8;
  if (!grey && format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) {
    return false;
  }
  QRect area(at, glyph.size());
  area &= image->rect();
  if (painter.hasClipping()) {
    const QRegion clip = painter.deviceTransform().map(painter.clipRegion());
    if (clip.rectCount() > 1) return false;
    area &= clip.boundingRect();
  }
  if (area.isEmpty()) return true;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const uchar* from = glyph.constScanLine(y - at.y()) + (area.left() - at.x());
    uchar* row = image->scanLine(y);
    if (grey) {
      uchar* to = row + area.left();
      for (int i = 0; i < area.width(); ++i) to[i] = std::min(to[i], from[i]);
      continue;
    }
    auto* to = reinterpret_cast<QRgb*>(row) + area.left();
    for (int i = 0; i < area.width(); ++i) {
      if (from[i] == 0xFF) continue;
      const QRgb p = to[i];
      const int v = from[i];
      to[i] = qRgba(std::min(qRed(p), v), std::min(qGreen(p), v), std::min(qBlue(p), v), qAlpha(p));
    }
  }
  return true;
}

QRectF normalised(double x0, double y0, double x1, double y1) {
  return QRectF(QPointF(std::min(x0, x1), std::min(y0, y1)),
                QPointF(std::max(x0, x1), std::max(y0, y1)));
}

}  // namespace

bool OutlinePainter::putPicture(QPainter& painter, Glyph g, QPointF at, double scale) const {
  const QImage& source = (*pictureSet_)[g];
  if (source.isNull()) return false;
  const QTransform device = painter.deviceTransform();
  // Only a painter that scales evenly and does not turn can put pixels.
  if (device.type() > QTransform::TxScale || device.m11() <= 0 ||
      std::abs(device.m11() - device.m22()) > 1e-9) {
    return false;
  }
  // Device pixels a pixel of the set's picture.
  const double factor = scale * device.m11() / pictureSet_->scale();
  const QImage* picture = &source;
  if (std::abs(factor - 1.0) > 1e-6) {
    const QSize size(std::max(1, static_cast<int>(std::lround(source.width() * factor))),
                     std::max(1, static_cast<int>(std::lround(source.height() * factor))));
    const std::pair<int, int64_t> key{static_cast<int>(g), std::llround(factor * 1e6)};
    auto found = resampled_->find(key);
    if (found == resampled_->end()) {
      QImage smaller = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_Grayscale8);
      if (smaller.isNull()) return false;
      found = resampled_->emplace(key, std::move(smaller)).first;
    }
    picture = &found->second;
  }
  const QPointF corner = device.map(at);
  const QPoint pixel(static_cast<int>(std::lround(corner.x())),
                     static_cast<int>(std::lround(corner.y())));
  if (darkenInto(painter, *picture, pixel)) return true;
  painter.save();
  // Device pixels: undo what the painter's device scales (a HiDPI screen).
  const QTransform deviceScale = painter.worldTransform().inverted() * device;
  painter.setWorldTransform(deviceScale.inverted());
  painter.setCompositionMode(QPainter::CompositionMode_Darken);
  painter.drawImage(pixel, *picture);
  painter.restore();
  return true;
}

QFont pageTextFont(double height) {
  QFont font(QStringLiteral("IPAGothic"));
  // Digits are about 0.72 of the font's pixel size high.
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(height / 0.72))));
  return font;
}

void OutlinePainter::draw(QPainter& painter, const DrawingLog& log, const QRect& source,
                          const QRectF& target, Spacing spacing) const {
  if (source.isEmpty() || target.isEmpty()) return;
  Mapping m;
  m.spacing = spacing;
  m.sx = target.width() / source.width();
  m.sy = target.height() / source.height();
  m.left = target.left();
  m.top = target.top();
  m.sourceLeft = source.left();
  m.sourceTop = source.top();
  m.g = m.sy;
  m.barTop = m.top;
  m.barSy = m.sy;
  // A bar wider at the staff's height than its cell is scaled down whole,
  // staff and all, centred in the cell's height.
  if (spacing == Spacing::Cells && m.sx < m.sy) {
    m.sy = m.sx;
    m.g = m.sx;
    m.top = target.top() + (target.height() - source.height() * m.sx) / 2;
  }

  painter.save();
  painter.setClipRect(target, Qt::IntersectClip);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);

  // A filled rectangle of the picture as a line along its long side.
  LineBatch lines(minLine_);
  GlyphText texts;
  // The music fonts' families, asked once a drawing.
  std::map<QString, QString> families;
  auto familyOf = [&families](const QString& file) {
    auto known = families.find(file);
    if (known == families.end()) known = families.emplace(file, musicFontFamily(file)).first;
    return known->second;
  };
  auto line = [&](const QRectF& r) { lines.add(r); };
  // Maps picture x `px` of a shape: stretched, or rigid around `anchorX`.
  auto mapX = [&](double px, bool stretched, double anchorX) {
    return stretched ? m.x(px) : m.rigid(px, anchorX);
  };

  const std::vector<bool> shown = log.shown();
  LineBatch barLines(minLine_);
  for (size_t i = 0; i < log.ops.size(); ++i) {
    const DrawOp& op = log.ops[i];
    if (!shown[i]) continue;
    switch (op.kind) {
      case DrawOp::Kind::Erase:
        break;
      case DrawOp::Kind::Blit: {
        if (!op.area.intersects(source)) break;
        const Glyph g = glyphs_.glyphOf(op.glyph);
        if (g == Glyph::Count) break;
        const PictureOutline& shape = outlines_[g];
        const bool stretched = stretches(g);
        const QImage& picture = glyphs_[g];
        const double centre = op.x + picture.width() / 2.0;
        const double anchorX = spacing == Spacing::Cells ? m.anchor(centre) : std::round(centre);
        // A shape held at a cell left of the part belongs to what comes before.
        if (!stretched && spacing == Spacing::Cells && anchorX < source.left()) break;
        const double anchorY = op.y + anchorRow(g, glyphs_);
        auto mapY = [&](double py) { return stretched ? m.y(py) : m.rigidY(py, anchorY); };
        // The white of a glyph darkens nothing: the whole picture is put.
        if (pictureSet_ && !stretched && !op.copy &&
            putPicture(painter, g, QPointF(m.rigid(op.x, anchorX), m.rigidY(op.y, anchorY)), m.g)) {
          break;
        }
        if (glyphsAsPictures_) {
          // The part of the picture drawn, stretched with the spacing or kept
          // in shape, copied or darkening what is below as in the picture.
          const QRect part = op.area.translated(-op.x, -op.y).intersected(picture.rect());
          const QRectF at(QPointF(mapX(op.area.left(), stretched, anchorX), mapY(op.area.top())),
                          QPointF(mapX(op.area.left() + part.width(), stretched, anchorX),
                                  mapY(op.area.top() + part.height())));
          painter.setCompositionMode(op.copy ? QPainter::CompositionMode_SourceOver
                                             : QPainter::CompositionMode_Darken);
          painter.drawImage(at, picture, part);
          painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
          break;
        }
        // A cut picture (the percussion staff) draws its shapes inside its area only.
        const QRectF kept(op.area.translated(-op.x, -op.y));
        for (QRectF r : shape.rects) {
          if (op.cut) {
            r = r.intersected(kept);
            if (r.isEmpty()) continue;
          }
          const double right = mapX(op.x + r.right(), stretched, anchorX);
          // Upright lines (bar and system lines) keep their width at the
          // right edge of where they stretch to.
          if (stretched && r.height() > r.width()) {
            const QRectF bar(QPointF(right - r.width() * m.g, m.barY(op.y + r.top())),
                             QPointF(right, m.barY(op.y + r.bottom())));
            // Drawn after the clip is gone: a clip through a thin line at
            // the edge would leave it to a viewer's rounding to keep it.
            if (bar.left() >= target.left() - m.g && bar.right() <= target.right() + m.g) {
              barLines.add(bar);
            }
            continue;
          }
          line(normalised(mapX(op.x + r.left(), stretched, anchorX), mapY(op.y + r.top()), right,
                          mapY(op.y + r.bottom())));
        }
        painter.setBrush(Qt::black);
        if (!shape.curves.isEmpty()) {
          const double kx = stretched ? m.sx : m.g;
          const double ky = stretched ? m.sy : m.g;
          painter.drawPath(QTransform(kx, 0, 0, ky, mapX(op.x, stretched, anchorX), mapY(op.y))
                               .map(shape.curves));
        }
        for (const PlacedGlyph& glyph : shape.glyphs) {
          // A glyph of a stretching picture keeps its shape around its origin.
          const double gx = op.x + glyph.origin.x();
          const double ox = stretched ? m.x(gx) : m.rigid(gx, anchorX);
          const double oy = mapY(op.y + glyph.origin.y());
          const QString family = glyphsAsText_ ? familyOf(glyph.fontFile) : QString();
          if (family.isEmpty()) {
            painter.drawPath(QTransform(m.g, 0, 0, m.g, ox, oy).map(glyph.outline));
            continue;
          }
          texts.add(family, glyph.unitsPerEm, m.g * glyph.perUnit.x(), m.g * glyph.perUnit.y(),
                    QPointF(ox, oy), glyph.character);
        }
        painter.setBrush(Qt::NoBrush);
        break;
      }
      case DrawOp::Kind::Line: {
        // Both end pixels are inked: the line covers them whole.
        const bool cells = spacing == Spacing::Cells;
        const double a0 = cells ? m.anchor(op.x) : op.x;
        const double a1 = cells ? m.anchor(op.x1) : op.x1;
        const int32_t xl = std::min(op.x, op.x1);
        const int32_t xr = std::max(op.x, op.x1);
        const double al = op.x <= op.x1 ? a0 : a1;
        const double ar = op.x <= op.x1 ? a1 : a0;
        if (op.x == op.x1 || op.y == op.y1) {
          line(normalised(mapX(xl, !cells, al), m.y(std::min(op.y, op.y1)),
                          mapX(xr + 1, !cells, ar), m.y(std::max(op.y, op.y1) + 1)));
        } else {
          QPen pen(Qt::black, std::max(m.g, minLine_));
          painter.setPen(pen);
          painter.drawLine(QPointF(mapX(op.x + 0.5, !cells, a0), m.y(op.y + 0.5)),
                           QPointF(mapX(op.x1 + 0.5, !cells, a1), m.y(op.y1 + 0.5)));
          painter.setPen(Qt::NoPen);
        }
        break;
      }
      case DrawOp::Kind::Number: {
        const QString text = QString::number(op.value);
        // A bar number stays with the line's staff, where the numbers of
        // the bars beside it are, also over a bar scaled down whole.
        const bool barNumber = op.align == DrawOp::Align::Right;
        const double height = std::max(kDigitHeight * (barNumber ? m.barSy : m.g), minText_);
        const QFont font = pageTextFont(height);
        const QFontMetricsF metrics(font);
        const double width = metrics.horizontalAdvance(text);
        const double boxRight = op.x + ScorePicture::numberWidth(op.value);
        // The number of the bar before ends at the part's left edge.
        if (boxRight <= source.left() + 2 || op.x > source.right()) break;
        double left = 0;
        if (op.align == DrawOp::Align::Right) {
          left = m.x(boxRight) - width;
        } else {
          const double middle = (op.x + boxRight) / 2;
          const double at =
              spacing == Spacing::Cells ? m.rigid(middle, m.anchor(middle)) : m.x(middle);
          left = at - width / 2;
        }
        painter.setFont(font);
        painter.setPen(Qt::black);
        const double top = barNumber ? m.barY(op.y + kDigitTop) : m.y(op.y + kDigitTop);
        painter.drawText(QPointF(left, top + metrics.capHeight()), text);
        painter.setPen(Qt::NoPen);
        break;
      }
    }
  }
  lines.stroke(painter);
  texts.draw(painter);
  painter.restore();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  barLines.stroke(painter);
  painter.restore();
}

}  // namespace kelvara
