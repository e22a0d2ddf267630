#pragma once

#include "score/score_view.h"

namespace kelvara {

// Gives the keyboard focus back to note entry when a command ends, whatever
// path it took.
class FocusBack {
 public:
  explicit FocusBack(ScoreView& view) : view_(view) {}
  ~FocusBack() { view_.focusNoteEntry(); }
  FocusBack(const FocusBack&) = delete;
  FocusBack& operator=(const FocusBack&) = delete;

 private:
  ScoreView& view_;
};

}  // namespace kelvara
