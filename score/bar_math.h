#pragma once

#include <cstdint>
#include <initializer_list>

namespace kelvara {

// Moves a bar position (bar number from 1, fill in 64ths) on by share 64ths,
// carrying into following bars. The comparison is 64-bit so a huge fill
// cannot overflow it.
inline void advanceBar(int32_t& barNo, int32_t& barFill, int32_t share, int32_t barLen) {
  int64_t fill = static_cast<int64_t>(barFill) + share;
  while (fill >= barLen) {
    fill -= barLen;
    ++barNo;
  }
  barFill = static_cast<int32_t>(fill);
}

// The inverse of advanceBar.
inline void retreatBar(int32_t& barNo, int32_t& barFill, int32_t share, int32_t barLen) {
  int64_t fill = static_cast<int64_t>(barFill) - share;
  while (fill < 0) {
    fill += barLen;
    --barNo;
  }
  barFill = static_cast<int32_t>(fill);
}

// First bar of the page on which bar barNo lies.
inline int32_t pageFirstBarFor(int32_t barNo, int32_t barsPerPage) {
  return (barNo - 1) / barsPerPage * barsPerPage + 1;
}

// Size in 64ths of the next piece a note of `left` 64ths is drawn in at
// `fill` 64ths into a bar: the largest note value (64, 32, ... 1) that is not
// more than what is left, not more than a bar and fits in the bar's rest.
inline int32_t pieceSize(int64_t left, int64_t fill, int32_t barLen) {
  for (int32_t size : {64, 32, 16, 8, 4, 2}) {
    if (left >= size && barLen >= size && fill + size <= barLen) return size;
  }
  return 1;
}

}  // namespace kelvara
