#pragma once

#include <cstdint>

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

}  // namespace kelvara
