#pragma once

#include <cstdint>
#include <vector>

#include "files/import_report.h"
#include "files/load_limits.h"
#include "files/loaded_score.h"

namespace kelvara {

// One note of a part, timed in 64ths from the score's first bar line.
struct TimedNote {
  double start = 0;
  double end = 0;  // not before start
  int32_t pitch = 60;
  int32_t velocity = 100;
};

// The grid a part is quantised on.
struct QuantiseGrid {
  int32_t barLen = 64;     // 64ths in a bar; tuplets never cross a bar line
  double tickIn64ths = 0;  // one tick of the file: a time this near a grid point is exact
};

// Turns one part's notes into records: notes starting together are a chord
// (ten pitches at most, the lowest dropped); starts and ends go to the 64th
// grid, or to a tuplet's grid where a group of onsets fits one (3, 5, 6 or
// 7 in a whole, half, quarter, eighth or 16th) far better than straight
// values; a note sounding into the next onset ends there; gaps are rests.
// The notes are sorted in place. Every record made is taken from `budget`.
std::vector<RecordPtr> quantisePart(std::vector<TimedNote>& notes, const QuantiseGrid& grid,
                                    ImportReport& report, RecordBudget& budget);

}  // namespace kelvara
