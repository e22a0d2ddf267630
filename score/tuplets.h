#pragma once

#include <cstdint>

#include "score/editor_state.h"
#include "score/score_drawing.h"
#include "score/score_view.h"
#include "score/selection.h"

namespace kelvara {

// The file formats keep a member's place and its group's size in one byte.
constexpr int32_t kMaxTupletMembers = 255;

// Tuplet groups made from and dissolved over the selection of the work part.
class Tuplets {
 public:
  Tuplets(EditorState& state, ScoreDrawing& drawing, ScoreView& view, SelectionModel& selection)
      : s_(state), drawing_(drawing), view_(view), selection_(selection) {}

  // Makes the selected records one group lasting 64 / d 64ths, or dissolves
  // the groups they touch (d = 0); then redraws the page. False (and nothing
  // changed) when the selection holds more records than a group can.
  bool Change_renpu(int32_t d);
  // Dissolves every group the range touches, members outside it included; a
  // group beginning exactly at the range's stop is left alone.
  void Restore_renpu(const SelectedRange& range);

 private:
  EditorState& s_;
  ScoreDrawing& drawing_;
  ScoreView& view_;
  SelectionModel& selection_;
};

}  // namespace kelvara
