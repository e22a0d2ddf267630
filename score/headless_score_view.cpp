#include "score/headless_score_view.h"

#include <algorithm>

namespace kelvara {

void HeadlessScoreView::invertLine(const Line& line) {
  auto it = std::find(inverted_.begin(), inverted_.end(), line);
  if (it != inverted_.end()) {
    inverted_.erase(it);
  } else {
    inverted_.push_back(line);
  }
}

void HeadlessScoreView::showScorePicture() {
  inverted_.clear();
  ++showCount_;
}

void HeadlessScoreView::setScrollX(int32_t x) {
  // A scroll box keeps its position between 0 and the hidden width.
  scrollX_ = std::clamp(x, 0, std::max(0, viewWidth_ - viewportWidth_));
}

void HeadlessScoreView::setViewWidth(int32_t width) {
  viewWidth_ = width;
  setScrollX(scrollX_);
}

void HeadlessScoreView::setPageButtons(bool previousEnabled, bool nextEnabled) {
  previousEnabled_ = previousEnabled;
  nextEnabled_ = nextEnabled;
}

}  // namespace kelvara
