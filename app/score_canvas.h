#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

#include "render/drawing_log.h"
#include "render/glyph_outlines.h"
#include "render/glyph_table.h"
#include "score/score_view.h"

namespace kelvara {

// The picture control of the score view (Image1): shows the score picture
// and the marks drawn on it with the self-inverting pen. It paints from the
// renderer's picture directly, converting only the part on screen, so a
// wide page costs nothing extra at each key press. A view wider or taller
// than the picture shows empty staff right of it and white paper below it.
// On a screen of more than one device pixel a pixel it draws the same page as
// vectors from the picture's drawing log, so the score is as sharp as the screen.
class ScoreCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit ScoreCanvas(QWidget* parent = nullptr);

  // The picture shown: the renderer's score picture, never copied.
  void setPicture(const QImage* picture) { picture_ = picture; }
  // The empty staff drawn right of the picture (a glyph, never copied).
  void setStaffTile(const QImage* tile) { staffTile_ = tile; }
  // The width the engine gives the picture; the control is at least as wide
  // as the view around it.
  void setPictureWidth(int width);
  int pictureWidth() const { return pictureWidth_; }
  // Takes the size of the view it is shown in, or the picture's when larger.
  void fitTo(const QSize& viewport);
  // What the picture was drawn from, for screens with more than one device
  // pixel a pixel; none: the picture is shown enlarged.
  void setVectors(const DrawingLog* log, const GlyphTable* glyphs, const GlyphOutlines* outlines) {
    log_ = log;
    glyphs_ = glyphs;
    outlines_ = outlines;
  }
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
  void paintStaffBeyond(QPainter& painter, const QRect& area) const;
  // Paints `area` from the drawing log, with the marks.
  void paintVectors(QPainter& painter, const QRect& area);
  // paintVectors() into the view's own picture of the screen's pixels.
  void paintSharp(QPainter& painter, const QRect& area);

  const QImage* picture_ = nullptr;
  const QImage* staffTile_ = nullptr;
  int pictureWidth_ = 0;
  QSize viewport_;
  const DrawingLog* log_ = nullptr;
  const GlyphTable* glyphs_ = nullptr;
  const GlyphOutlines* outlines_ = nullptr;
  std::vector<Line> inverted_;
  // The screen's pixels of the area painted from the log, kept from paint to
  // paint: glyph pictures are darkened into it directly, then it is put on
  // screen at once.
  QImage sharp_;
};

}  // namespace kelvara
