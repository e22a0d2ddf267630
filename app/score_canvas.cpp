#include "app/score_canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "render/view_overlay.h"

namespace kelvara {

ScoreCanvas::ScoreCanvas(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setContextMenuPolicy(Qt::CustomContextMenu);
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
  const QRect piece = QRect(area.x(), 0, area.width(), picture_->height()) & picture_->rect();
  if (!piece.isEmpty()) {
    QImage shown = picture_->copy(piece).convertToFormat(QImage::Format_RGB32);
    invertLines(shown, inverted_, piece.x());
    painter.drawImage(piece.topLeft(), shown);
  }
  const QRegion outside = QRegion(area) - QRegion(piece);
  for (const QRect& r : outside) painter.fillRect(r, Qt::white);
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
