#pragma once

#include <cstddef>
#include <cstdint>

#include "files/loaded_score.h"

namespace kelvara {

// What a score file may ask of the program, checked while it is read so that
// every file that loads also draws and exports in bounded memory and time.
// The editor itself is the guide: it offers seven time signatures, and the
// whole-score file keeps a length in 16 bits.

// Records in one file, all parts together: far more than any real score
// (about 85 MB of records in memory).
constexpr size_t kMaxRecordsPerFile = 500000;
// The longest note or rest, in 64ths (the whole-score file's 16 bits).
constexpr int32_t kMaxRecordLength = 65535;
// Cells of 70 pixels one page of the score view may need. The longest
// record in the narrowest bar (3/8) takes 5464; the picture of such a page is
// about 165 MB.
constexpr int64_t kMaxPageCells = 6144;

// The time signatures the score settings offer: 4/4, 3/4, 2/4, 9/8, 6/8,
// 3/8, 2/2.
bool isOfferedTimeSignature(int32_t timeNum, int32_t timeDen);

// Throws ReadFault{BadValue} naming the time signature when it is not one of
// those offered.
void checkTimeSignature(int32_t timeNum, int32_t timeDen);

// Counts the records a reader creates; throws ReadFault{BadValue} past
// kMaxRecordsPerFile.
class RecordBudget {
 public:
  void take(size_t count = 1);

 private:
  size_t used_ = 0;
};

// Cells (70 pixels each) a record drawing `drawn` 64ths takes when it starts
// `fill` 64ths into a bar of barLen; `advancing` is false for a tuplet member
// that does not move the bar on while it is drawn. The rule of the glyph
// drawing: each piece is the largest of 64, 32 .. 1 that is not more than
// what is left, not more than the bar and fits in what remains of the bar.
int64_t cellsFor(int32_t drawn, int32_t fill, int32_t barLen, bool advancing);

// Cells record r takes when it starts `fill` 64ths into a bar of barLen: a
// tuplet member draws its share of the group.
int64_t recordCells(const TOnpu& r, int32_t fill, int32_t barLen);

// Makes every record read drawable within the width the whole-score file
// keeps (16 bits of pixels) in the time signature timeNum/timeDen: a rest too
// wide becomes consecutive rests that fit, the same length together. A note
// cannot be split without changing the music (records have no ties), so a
// note or tuplet member too wide throws ReadFault{BadValue} naming its part
// and bar.
void fitRecordsToFile(LoadedScore& loaded, int32_t timeNum, int32_t timeDen);

// Throws ReadFault{BadValue} when a page of 16 bars of any part read would be
// wider than kMaxPageCells in the time signature timeNum/timeDen.
void checkPageWidths(const LoadedScore& loaded, int32_t timeNum, int32_t timeDen);

}  // namespace kelvara
