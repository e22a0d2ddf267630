#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

namespace kelvara {

// A line in pixels of the score picture.
struct Line {
  int32_t x0, y0, x1, y1;
  friend bool operator==(const Line&, const Line&) = default;
};

// What the engine asks of the window around the score view. The window
// implements it; tests use HeadlessScoreView.
class ScoreView {
 public:
  virtual ~ScoreView() = default;

  // Draws a line with the view's self-inverting pen: drawing the same line
  // again removes it. Used for the cursor mark and the selection frame.
  virtual void invertLine(const Line& line) = 0;
  // The view's picture becomes the current score picture; every inverted
  // mark on it is gone.
  virtual void showScorePicture() = 0;

  // Horizontal scroll position of the score view, in pixels.
  virtual int32_t scrollX() const = 0;
  virtual void setScrollX(int32_t x) = 0;
  // Width of the view's picture (it grows with the score picture).
  virtual int32_t viewWidth() const = 0;
  virtual void setViewWidth(int32_t width) = 0;
  // Width of the part of the picture the view shows at once; the smallest
  // window's view unless the window says otherwise.
  virtual int32_t viewportWidth() const { return kSmallestViewportWidth; }

  // The visible width of the score view in the smallest window.
  static constexpr int32_t kSmallestViewportWidth = 741;

  virtual void setPageButtons(bool previousEnabled, bool nextEnabled) = 0;
  virtual void setOctaveLabel(const std::string& text) = 0;
  // Gives the keyboard focus back to the hidden note-entry box.
  virtual void focusNoteEntry() = 0;
  // Sounds the refusal (the desktop's bell): an input the score cannot take
  // was dropped and nothing changed.
  virtual void refuse() {}
};

// How much further right the cursor may go before the view follows it: the
// room a view wider than the smallest window's adds.
inline int32_t extraViewRoom(const ScoreView& view) {
  return std::max(0, view.viewportWidth() - ScoreView::kSmallestViewportWidth);
}

}  // namespace kelvara
