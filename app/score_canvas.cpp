#include "app/score_canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "print/outline_painter.h"
#include "render/view_overlay.h"
#include "score/editor_state.h"

namespace kelvara {

ScoreCanvas::ScoreCanvas(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setContextMenuPolicy(Qt::CustomContextMenu);
}

void ScoreCanvas::setPictureWidth(int width) {
  pictureWidth_ = width;
  fitTo(viewport_);
}

void ScoreCanvas::fitTo(const QSize& viewport) {
  viewport_ = viewport;
  resize(std::max(pictureWidth_, viewport.width()), std::max(kScoreHeight, viewport.height()));
}

void ScoreCanvas::paintStaffBeyond(QPainter& painter, const QRect& area) const {
  const QRect staff = area & QRect(pictureWidth_, 0, width() - pictureWidth_, kScoreHeight);
  if (staff.isEmpty() || staffTile_ == nullptr || staffTile_->isNull()) return;
  const int tileWidth = staffTile_->width();
  const int first = pictureWidth_ + (staff.left() - pictureWidth_) / tileWidth * tileWidth;
  for (int x = first; x <= staff.right(); x += tileWidth) {
    painter.drawImage(QPoint(x, 0), *staffTile_);
  }
}

void ScoreCanvas::showScorePicture() {
  inverted_.clear();
  update();
}

void ScoreCanvas::invertLine(const Line& line) {
  auto it = std::find(inverted_.begin(), inverted_.end(), line);
  if (it != inverted_.end()) {
    inverted_.erase(it);
  } else {
    inverted_.push_back(line);
  }
  update(QRect(QPoint(std::min(line.x0, line.x1), std::min(line.y0, line.y1)),
               QPoint(std::max(line.x0, line.x1), std::max(line.y0, line.y1))));
}

void ScoreCanvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  if (picture_ == nullptr || picture_->isNull()) {
    painter.fillRect(area, Qt::white);
    return;
  }
  if (log_ != nullptr && !log_->incomplete && devicePixelRatioF() > 1.0) {
    paintSharp(painter, area);
    return;
  }
  // Convert the columns on screen only; marks are applied to that piece.
  const QRect piece = QRect(area.x(), 0, area.width(), picture_->height()) & picture_->rect() &
                      QRect(0, 0, pictureWidth_, kScoreHeight);
  if (!piece.isEmpty()) {
    QImage shown = picture_->copy(piece).convertToFormat(QImage::Format_RGB32);
    invertLines(shown, inverted_, piece.x());
    painter.drawImage(piece.topLeft(), shown);
  }
  // Paper stays white whatever the desktop's colours.
  const QRegion outside = QRegion(area) - QRegion(piece);
  for (const QRect& r : outside) painter.fillRect(r, Qt::white);
  painter.setClipRect(area);
  paintStaffBeyond(painter, area);
}

void ScoreCanvas::paintSharp(QPainter& painter, const QRect& area) {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels(static_cast<int>(std::ceil(area.width() * ratio)),
                     static_cast<int>(std::ceil(area.height() * ratio)));
  if (sharp_.width() < pixels.width() || sharp_.height() < pixels.height()) {
    sharp_ = QImage(pixels.expandedTo(sharp_.size()), QImage::Format_RGB32);
  }
  if (sharp_.isNull()) {
    // No memory for it: straight onto the screen.
    paintVectors(painter, area);
    return;
  }
  sharp_.setDevicePixelRatio(ratio);
  {
    QPainter onto(&sharp_);
    onto.translate(-area.topLeft());
    paintVectors(onto, area);
  }
  painter.drawImage(QRectF(area), sharp_, QRectF(QPointF(0, 0), QSizeF(pixels)));
}

void ScoreCanvas::paintVectors(QPainter& painter, const QRect& area) {
  painter.fillRect(area, Qt::white);
  painter.setClipRect(area);
  paintStaffBeyond(painter, area);
  painter.setClipRect(area & QRect(0, 0, pictureWidth_, kScoreHeight));
  // The whole picture at its own size, clipped to the area: a number or a
  // glyph reaching into the area from outside it is drawn too.
  OutlinePainter shapes(*glyphs_, *outlines_);
  shapes.setMinimumLine(1.0 / devicePixelRatioF());
  // Notes, rests and signs as the pictures drawn for this many device pixels
  // a pixel (the 2x set as it is on a screen of two); the outlines without them.
  shapes.setGlyphPictures(glyphs_->scaled(devicePixelRatioF() <= 2.0 ? 2 : 4));
  shapes.draw(painter, *log_, picture_->rect(), QRectF(picture_->rect()),
              OutlinePainter::Spacing::Pictures);
  // The marks of the self-inverting pen, pixel for pixel as on the picture:
  // a line's last pixel is left out.
  painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
  painter.setPen(Qt::NoPen);
  const QColor pen = QColor::fromRgb(kViewPenColour);
  for (const Line& l : inverted_) {
    if (l.x0 == l.x1 || l.y0 == l.y1) {
      const int dx = l.x1 > l.x0 ? 1 : l.x1 < l.x0 ? -1 : 0;
      const int dy = l.y1 > l.y0 ? 1 : l.y1 < l.y0 ? -1 : 0;
      const QPoint last(l.x1 - dx, l.y1 - dy);
      if (dx == 0 && dy == 0) continue;
      painter.fillRect(QRect(QPoint(std::min(l.x0, last.x()), std::min(l.y0, last.y())),
                             QPoint(std::max(l.x0, last.x()), std::max(l.y0, last.y()))),
                       pen);
      continue;
    }
    // A slanting line, pixel by pixel.
    forEachPenPixel(l, [&](int x, int y) { painter.fillRect(QRect(x, y, 1, 1), pen); });
  }
}

void ScoreCanvas::mousePressEvent(QMouseEvent* event) {
  emit mousePressed(event->button(), event->modifiers(), event->position().toPoint().x());
}

void ScoreCanvas::mouseMoveEvent(QMouseEvent* event) {
  emit mouseMoved(event->buttons(), event->modifiers(), event->position().toPoint().x());
}

void ScoreCanvas::mouseReleaseEvent(QMouseEvent* event) {
  emit mouseReleased(event->button(), event->position().toPoint().x());
}

}  // namespace kelvara
