#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

#include "score/score_view.h"

namespace kelvara {

// The picture control of the score view (Image1): shows the score picture
// and the marks drawn on it with the self-inverting pen. It paints from the
// renderer's picture directly, converting only the part on screen, so a
// wide page costs nothing extra at each key press.
class ScoreCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit ScoreCanvas(QWidget* parent = nullptr);

  // The picture shown: the renderer's score picture, never copied.
  void setPicture(const QImage* picture) { picture_ = picture; }
  // The view's picture becomes the score picture as it is now.
  void showScorePicture();
  void invertLine(const Line& line);

 signals:
  void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x);
  void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x);
  void mouseReleased(Qt::MouseButton button, int x);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const QImage* picture_ = nullptr;
  std::vector<Line> inverted_;
};

}  // namespace kelvara
