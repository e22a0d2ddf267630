#pragma once

#include "score/editor_state.h"

namespace kelvara {

// Every command that changes the notes of a part calls this once it has
// changed them; the score then differs from what was last saved or loaded.
inline void markChanged(EditorState& s) {
  s.markChanged();
}

}  // namespace kelvara
