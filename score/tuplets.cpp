#include "score/tuplets.h"

#include "score/score_changes.h"
#include "score/undo_scope.h"

namespace kelvara {

void Tuplets::Restore_renpu(const SelectedRange& range) {
  // Whether a group runs on past the range, asked before its members before
  // the stop are cleared.
  const bool runsOn = followsInGroup(*range.stop->Prev, *range.stop);
  TOnpu* r = tupletStart(range.first);
  while (r != range.stop && !isEndMarker(*r)) {
    clearTuplet(*r);
    r = r->Next;
  }
  if (runsOn) clearTupletFrom(range.stop);
}

bool Tuplets::Change_renpu(int32_t d) {
  bool done = true;
  if (const auto range = selection_.ordered(); range && d > 0 && range->count > kMaxTupletMembers) {
    // The selection stays; nothing would fit the group fields.
    done = false;
  } else if (const auto taken = selection_.take(view_)) {
    UndoScope undo(s_, s_.WorkPart, taken->first, taken->stop);
    if (d <= 0) {
      Restore_renpu(*taken);
    } else {
      int32_t indexSum = 0;
      for (TOnpu* r = taken->first; r != taken->stop; r = r->Next) indexSum += r->RenIndex;
      if (indexSum > 0) Restore_renpu(*taken);
      const auto span = static_cast<int32_t>(64.0 / d);
      int32_t i = 1;
      for (TOnpu* r = taken->first; r != taken->stop; r = r->Next, ++i) {
        r->RenLength = span;
        r->RenIndex = i;
        r->RenCount = taken->count;
      }
    }
    markChanged(s_);
    // The group counts by its span now, the dissolved members by their
    // lengths: the cursor's bar position is counted again before the redraw.
    s_.recountBarPosition(s_.WorkPart);
  }
  drawing_.PageDraw();
  return done;
}

}  // namespace kelvara
