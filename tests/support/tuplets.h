#pragma once

#include <cstdint>

#include "score/editor_state.h"
#include "score/onpu.h"

namespace kelvara::testing {

// Makes `count` records from `from` on one tuplet group spanning `span` 64ths.
inline void makeTuplet(TOnpu* from, int count, int32_t span) {
  for (int i = 1; i <= count; ++i, from = from->Next) {
    from->RenIndex = i;
    from->RenCount = count;
    from->RenLength = span;
  }
}

// The same, for records before the work part's cursor, whose bar position
// is then counted again, as any command changing lengths before it does.
inline void makeTuplet(EditorState& s, TOnpu* from, int count, int32_t span) {
  makeTuplet(from, count, span);
  s.recountBarPosition(s.WorkPart);
}

}  // namespace kelvara::testing
