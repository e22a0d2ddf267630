#pragma once

#include "score/score_drawing.h"

namespace kelvara {

// A score drawing that draws nothing: for work on the score where the page
// plays no part (exports, benchmarks of the editing itself).
class NullScoreDrawing : public ScoreDrawing {
 public:
  int32_t DrawGakuhu() override { return 0; }
  int32_t DrawFromIti() override { return 0; }
  int32_t PageDraw() override { return 0; }
  bool ChkGakuhu() override { return false; }
  bool ChkGakuhu2() override { return false; }
  void RedrawPage() override {}
  void wipeStaff(int32_t, int32_t) override {}
  void DrawTyou() override {}
  void DrawSel() override {}
  void resetPictureWidth() override {}
};

}  // namespace kelvara
