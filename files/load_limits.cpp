#include "files/load_limits.h"

#include <algorithm>
#include <string>
#include <vector>

#include "files/byte_reader.h"
#include "score/bar_math.h"
#include "score/editor_state.h"
#include "score/onpu.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

constexpr int32_t kPageBars = 16;

// Pieces of a length drawn from `fill` on, the bar moving on with each piece.
int64_t piecesFrom(int64_t& left, int64_t& fill, int32_t barLen, bool untilBarStart) {
  int64_t count = 0;
  while (left > 0 && !(untilBarStart && fill == 0)) {
    const int32_t size = pieceSize(left, fill, barLen);
    fill += size;
    if (fill >= barLen) fill -= barLen;
    left -= size;
    ++count;
  }
  return count;
}

}  // namespace

bool isOfferedTimeSignature(int32_t timeNum, int32_t timeDen) {
  constexpr int32_t kOffered[][2] = {{4, 4}, {3, 4}, {2, 4}, {9, 8}, {6, 8}, {3, 8}, {2, 2}};
  for (const auto& t : kOffered) {
    if (t[0] == timeNum && t[1] == timeDen) return true;
  }
  return false;
}

void checkTimeSignature(int32_t timeNum, int32_t timeDen) {
  if (isOfferedTimeSignature(timeNum, timeDen)) return;
  throw ReadFault{
      FileError::BadValue,
      fillText(uiText("kelvara::Files",
                      "拍子 %1/%2 は扱えません（4/4, 3/4, 2/4, 9/8, 6/8, 3/8, 2/2 のみ）"),
               {std::to_string(timeNum), std::to_string(timeDen)})};
}

void RecordBudget::take(size_t count) {
  used_ += count;
  if (used_ > kMaxRecordsPerFile) {
    throw ReadFault{FileError::BadValue,
                    fillText(uiText("kelvara::Files", "記録の数が上限の %1 を超えています"),
                             {std::to_string(kMaxRecordsPerFile)})};
  }
}

int64_t cellsFor(int32_t drawn, int32_t fill, int32_t barLen, bool advancing) {
  if (barLen < 1 || drawn <= 0) return 0;
  int64_t left = drawn;
  int64_t at = fill;
  if (!advancing) {
    // The bar stays where it is: every piece is chosen from the same fill.
    int64_t count = 0;
    while (left > 0) {
      left -= pieceSize(left, at, barLen);
      ++count;
    }
    return count;
  }
  int64_t count = piecesFrom(left, at, barLen, true);
  if (left >= barLen) {
    // Whole bars from their start all split the same way.
    int64_t one = barLen, zero = 0;
    const int64_t perBar = piecesFrom(one, zero, barLen, false);
    const int64_t bars = left / barLen;
    count += bars * perBar;
    left -= bars * barLen;
  }
  return count + piecesFrom(left, at, barLen, false);
}

int64_t recordCells(const TOnpu& r, int32_t fill, int32_t barLen) {
  const bool member = r.RenLength > 0;
  const int32_t drawn = member ? r.RenLength : r.Length;
  const bool inner = member && r.RenIndex != r.RenCount;
  return cellsFor(drawn, fill, barLen, !inner);
}

namespace {

// How much of `left` 64ths, from `fill` into the bar, one record may take
// and be drawn in at most `most` cells: all of it when it fits, else up to a
// bar line, as many whole bars as fit. Pieces never cross a bar line, so the
// cells of the bars add up; a part of a bar may take more cells than a whole
// one (15 is 8 4 2 1, 16 is one), so the cut is at a bar line.
int32_t longestFitting(int32_t left, int32_t fill, int32_t barLen, int64_t most) {
  if (cellsFor(left, fill, barLen, true) <= most) return left;
  const int32_t head = (barLen - fill) % barLen;
  const int64_t room = most - cellsFor(head, fill, barLen, true);
  const int64_t perBar = cellsFor(barLen, 0, barLen, true);
  const int64_t bars = std::min<int64_t>(room / perBar, (left - head) / barLen);
  // Never nothing, so the split always ends.
  return std::max(1, head + static_cast<int32_t>(bars) * barLen);
}

}  // namespace

void fitRecordsToFile(LoadedScore& loaded, int32_t timeNum, int32_t timeDen) {
  const int32_t barLen = static_cast<int32_t>(timeNum * 64 / timeDen);
  constexpr int64_t kMostCells = kMaxFileWidth / kCellWidth;
  for (LoadedPart& lp : loaded.parts) {
    std::vector<RecordPtr> fitted;
    fitted.reserve(lp.records.size());
    int64_t bar = 1;
    int32_t fill = 0;
    auto advance = [&](const TOnpu& r) {
      const int64_t at = fill + static_cast<int64_t>(barContribution(r));
      bar += at / barLen;
      fill = static_cast<int32_t>(at % barLen);
    };
    for (RecordPtr& rec : lp.records) {
      if (recordCells(*rec, fill, barLen) <= kMostCells) {
        advance(*rec);
        fitted.push_back(std::move(rec));
        continue;
      }
      if (!isRest(*rec) || rec->RenLength > 0) {
        throw ReadFault{FileError::BadValue,
                        fillText(uiText("kelvara::Files",
                                        "%4%1 の %2 小節目からの音符は長すぎて、"
                                        "楽譜ファイルに保存できない幅 (%3 ピクセル) になります"),
                                 {partText(lp.part), std::to_string(bar),
                                  std::to_string(recordCells(*rec, fill, barLen) * kCellWidth),
                                  partListSpace(lp.part)})};
      }
      for (int32_t left = rec->Length; left > 0;) {
        RecordPtr piece(makeRecord(kRestPitch, 0, 1));
        *piece = *rec;
        piece->Prev = piece->Next = nullptr;
        piece->Length = longestFitting(left, fill, barLen, kMostCells);
        left -= piece->Length;
        advance(*piece);
        fitted.push_back(std::move(piece));
      }
    }
    lp.records = std::move(fitted);
  }
}

void checkPageWidths(const LoadedScore& loaded, int32_t timeNum, int32_t timeDen) {
  const int32_t barLen = static_cast<int32_t>(timeNum * 64 / timeDen);
  for (const LoadedPart& lp : loaded.parts) {
    int64_t bar = 1, fill = 0;
    int64_t page = -1, cells = 0, previous = 0;
    for (const RecordPtr& rec : lp.records) {
      const TOnpu& r = *rec;
      const int64_t own = recordCells(r, static_cast<int32_t>(fill), barLen);
      const int64_t onPage = (bar - 1) / kPageBars;
      if (onPage != page) {
        // The record before may run into the page and is then drawn on it too.
        page = onPage;
        cells = previous;
      }
      cells += own;
      if (cells > kMaxPageCells) {
        throw ReadFault{
            FileError::BadValue,
            fillText(uiText("kelvara::Files",
                            "%5%1 の %2 小節目からのページは幅が %3 ピクセルになり、"
                            "上限の %4 ピクセルを超えます"),
                     {partText(lp.part), std::to_string(page * kPageBars + 1),
                      std::to_string(cells * kCellWidth),
                      std::to_string(kMaxPageCells * kCellWidth), partListSpace(lp.part)})};
      }
      previous = own;
      fill += barContribution(r);
      bar += fill / barLen;
      fill %= barLen;
    }
  }
}

}  // namespace kelvara
