#pragma once

#include <vector>

#include "score/score_view.h"

namespace kelvara {

// A score view without a window: keeps what the engine asked of it, for
// tests and for the command-line modes.
class HeadlessScoreView : public ScoreView {
 public:
  // viewportWidth: visible width of the scroll box in pixels.
  explicit HeadlessScoreView(int32_t viewportWidth = 741) : viewportWidth_(viewportWidth) {}

  void invertLine(const Line& line) override;
  void showScorePicture() override;
  int32_t scrollX() const override { return scrollX_; }
  void setScrollX(int32_t x) override;
  int32_t viewWidth() const override { return viewWidth_; }
  void setViewWidth(int32_t width) override;
  int32_t viewportWidth() const override { return viewportWidth_; }
  void setPageButtons(bool previousEnabled, bool nextEnabled) override;
  void setOctaveLabel(const std::string& text) override { octaveLabel_ = text; }
  void focusNoteEntry() override { ++focusCount_; }
  void refuse() override { ++refusals_; }

  // Lines currently shown inverted (each drawn an odd number of times).
  const std::vector<Line>& invertedLines() const { return inverted_; }
  int showCount() const { return showCount_; }
  bool previousPageEnabled() const { return previousEnabled_; }
  bool nextPageEnabled() const { return nextEnabled_; }
  const std::string& octaveLabel() const { return octaveLabel_; }
  int focusCount() const { return focusCount_; }
  int refusals() const { return refusals_; }

 private:
  int32_t viewportWidth_;
  int32_t scrollX_ = 0;
  int32_t viewWidth_ = 742;
  std::vector<Line> inverted_;
  int showCount_ = 0;
  bool previousEnabled_ = false;
  bool nextEnabled_ = false;
  std::string octaveLabel_;
  int focusCount_ = 0;
  int refusals_ = 0;
};

}  // namespace kelvara
