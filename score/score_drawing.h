#pragma once

#include <cstdint>

namespace kelvara {

// The drawing operations the editing code calls; the renderer implements
// them on the score picture. Results are x positions in pixels.
class ScoreDrawing {
 public:
  virtual ~ScoreDrawing() = default;

  // Lays out and draws the page that holds the cursor's bar; returns EndX.
  virtual int32_t DrawGakuhu() = 0;
  // Redraws from the cursor to the end of the page; returns EndX.
  virtual int32_t DrawFromIti() = 0;
  // Clears and redraws the whole page with its furniture and shows it.
  virtual int32_t PageDraw() = 0;
  // Widens the picture by one step when the first page does not fit.
  virtual bool ChkGakuhu() = 0;
  // Widens the picture as often as the displayed page needs.
  virtual bool ChkGakuhu2() = 0;
  // The whole-page redraw without widening and without showing it: page
  // background, key signature, records, clef, time and key signature.
  virtual void RedrawPage() = 0;
  // Paints the blank staff over [x, x + width) in whole 70-pixel tiles.
  virtual void wipeStaff(int32_t x, int32_t width) = 0;
  // Key signature and start bar line; sets AccState to the key.
  virtual void DrawTyou() = 0;
  // Toggles the selection frame on the view.
  virtual void DrawSel() = 0;
  // Shrinks the score picture and the view back to the width of one page.
  virtual void resetPictureWidth() = 0;
};

}  // namespace kelvara
