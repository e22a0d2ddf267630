#pragma once

#include <algorithm>
#include <cstdint>

#include "score/editor_state.h"
#include "score/onpu.h"

namespace kelvara {

// Length of one bar in 64ths as a real number (6/8 gives 48). A zero or
// negative time signature falls back to BarLen(), so the bar range never
// divides by zero.
inline double barReal(const EditorState& s) {
  if (s.TimeDen <= 0 || s.TimeNum <= 0) return s.BarLen();
  return s.TimeNum * 64.0 / s.TimeDen;
}

// Whether a record that starts pos 64ths after the part's start lies in bars
// fromBar..toBar (numbered from 1, both included). toBar below 0 selects
// every record. The lower bound allows 0.1 of a 64th for tuplet fractions.
inline bool inBarRange(double pos, int32_t fromBar, int32_t toBar, double barLen) {
  if (toBar < 0) return true;
  return pos >= (fromBar - 1.0) * barLen - 0.1 && pos < toBar * barLen;
}

// How far a record moves the position the bar range is measured by, in
// 64ths: a tuplet member counts its share of the group's span.
inline double writtenLength(const TOnpu& r) {
  if (r.RenIndex > 0 && r.RenCount > 0) return static_cast<double>(r.RenLength) / r.RenCount;
  return r.Length;
}

inline bool partSelected(const EditorState& s, int part) {
  return s.PartSelected[part] != 0;
}

inline int selectedPartCount(const EditorState& s) {
  int n = 0;
  for (int p = 0; p < kPartCount; ++p) n += partSelected(s, p) ? 1 : 0;
  return n;
}

// LastIndex kept inside the ten pitch slots, whatever a damaged record says.
inline int lastSlot(const TOnpu& r) {
  return std::clamp<int32_t>(r.LastIndex, 0, kPitchSlots - 1);
}

}  // namespace kelvara
