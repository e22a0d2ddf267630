#include "app/score_canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

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
