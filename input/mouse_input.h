#pragma once

#include <cstdint>

#include "score/editor_state.h"
#include "score/score_drawing.h"
#include "score/score_editor.h"
#include "score/score_view.h"

namespace kelvara {

enum class MouseButton { Left, Right, Middle };

// The mouse on the score view (Image1): a left click puts the cursor on the
// record under the pointer, a drag or a Shift + click selects. x is in
// pixels of the score picture. Input that arrives while Busy is set is
// dropped.
class MouseInput {
 public:
  MouseInput(EditorState& state, ScoreEditor& score, ScoreDrawing& drawing, ScoreView& view)
      : s_(state), score_(score), drawing_(drawing), view_(view) {}

  // A press: left places the cursor (with Shift: selects up to it); right
  // only closes an open chord, the edit menu opens on its own.
  void Image1MouseDown(MouseButton button, bool shift, int32_t x);
  // A move while the left button is held since a plain press: selects from
  // where the press put the cursor to the record under the pointer.
  void Image1MouseMove(int32_t x);
  // Ends a drag when the left button comes up.
  void Image1MouseUp(MouseButton button);

  // Puts the cursor on the first record of the displayed page whose right
  // edge is at or beyond x, with its bar position, x and accidental state.
  void locate(int32_t x);

 private:
  void passRecord(TOnpu* r);
  void moveCursorTo(int32_t x);

  EditorState& s_;
  ScoreEditor& score_;
  ScoreDrawing& drawing_;
  ScoreView& view_;
};

}  // namespace kelvara
