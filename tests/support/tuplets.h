#pragma once

#include <cstdint>

#include "score/bar_math.h"
#include "score/editor_state.h"
#include "score/onpu.h"
#include "score/part_list.h"

namespace kelvara::testing {

// Makes `count` records from `from` on one tuplet group spanning `span` 64ths.
inline void makeTuplet(TOnpu* from, int count, int32_t span) {
  for (int i = 1; i <= count; ++i, from = from->Next) {
    from->RenIndex = i;
    from->RenCount = count;
    from->RenLength = span;
  }
}

// The same, for records before the work part's cursor: the cursor's bar
// position is counted again from the part's start, as any command that
// changes lengths before the cursor must do.
inline void makeTuplet(EditorState& s, TOnpu* from, int count, int32_t span) {
  makeTuplet(from, count, span);
  const int p = s.WorkPart;
  s.BarNo[p] = 1;
  s.BarFill[p] = 0;
  for (TOnpu* r = firstRecordOf(s.PartHead[p]); r != s.CurNode[p]; r = r->Next) {
    advanceBar(s.BarNo[p], s.BarFill[p], barContribution(*r), s.BarLen());
  }
}

}  // namespace kelvara::testing
