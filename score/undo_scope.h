#pragma once

#include "score/editor_state.h"
#include "score/undo_history.h"

namespace kelvara {

// Records the change a command makes to the records from `first` to `last`
// of `part` as one undo step, closed when the scope ends. Does nothing when
// the editor keeps no history. `join` adds the change to the last step when
// it lies in that step's records (a chord's further pitches, its closing).
class UndoScope {
 public:
  UndoScope(EditorState& s, int part, TOnpu* first, TOnpu* last, bool join = false)
      : history_(s.Undo) {
    if (history_ == nullptr) return;
    if (join) {
      history_->beginJoined(part, first, last);
    } else {
      history_->beginLocal(part, first, last);
    }
  }
  ~UndoScope() {
    if (history_ != nullptr) history_->commit();
  }
  UndoScope(const UndoScope&) = delete;
  UndoScope& operator=(const UndoScope&) = delete;

 private:
  UndoHistory* history_;
};

}  // namespace kelvara
