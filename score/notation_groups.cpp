#include "score/notation_groups.h"

#include <algorithm>

#include "score/bar_math.h"

namespace kelvara {

namespace {

// Staff indices (one a line or space, middle C 39) of the middle lines.
constexpr int32_t kUpperMiddleLine = 45;  // B4
constexpr int32_t kLowerMiddleLine = 33;  // D3
constexpr int32_t kMiddleC = 60;

bool isMember(const TOnpu& r) {
  return r.RenIndex > 0 && r.RenLength > 0;
}

// The pieces a record's cells hold: a tuplet member is laid out over its
// group's span, every member but the last against the group's start.
std::vector<int32_t> cellPieces(const TOnpu& r, int64_t fill, int32_t barLen) {
  if (!isMember(r)) return notePieces(r.Length, fill, barLen);
  if (barContribution(r) == r.RenLength) return notePieces(r.RenLength, fill, barLen);
  std::vector<int32_t> out;
  for (int64_t left = r.RenLength; left > 0;) {
    const int32_t size = pieceSize(left, fill, barLen);
    out.push_back(size);
    left -= size;
  }
  return out;
}

// The record as one note of an eighth or shorter that a beam can join, or
// nothing (size 0).
BeamMember beamable(const TOnpu& r, int32_t fill, const NotationMeter& meter) {
  BeamMember m;
  if (!isNote(r) || r.Length <= 0) return m;
  const std::vector<int32_t> cells = cellPieces(r, fill, meter.barLen);
  const std::vector<NoteValue> values =
      isMember(r) ? ownValues(r.Length) : dottedValues(cells, fill, meter);
  if (values.size() != 1 || values.front().size > 8) return m;
  m.record = &r;
  m.value = values.front();
  m.fill = fill;
  m.cells = static_cast<int32_t>(cells.size());
  if (isMember(r)) {
    // As the drawing places a member's values in its group's cells.
    const int32_t count = std::max(r.RenCount, 1);
    const int32_t index = std::clamp(r.RenIndex - 1, 0, count - 1);
    m.valueCell = std::max(0, std::min(m.cells - 1, index * m.cells / count));
  } else {
    m.valueCell = m.value.firstPiece;
  }
  return m;
}

// Whether `b`, right after `a`, is beamed with it.
bool joins(const BeamMember& a, const BeamMember& b, const NotationMeter& meter) {
  if (a.record == nullptr || b.record == nullptr) return false;
  const TOnpu& ra = *a.record;
  const TOnpu& rb = *b.record;
  if (isMember(ra) || isMember(rb)) return isMember(ra) && isMember(rb) && followsInGroup(ra, rb);
  // Same bar and the same beat, from a's start to b's end.
  if (int64_t{a.fill} + ra.Length != b.fill) return false;
  return a.fill / meter.beat == (int64_t{b.fill} + rb.Length - 1) / meter.beat;
}

// Bar position before the record in front of `r`, which stands at `fill`;
// negative when that record starts in an earlier bar.
int64_t fillBefore(const TOnpu& prev, int32_t fill) {
  return int64_t{fill} - barContribution(prev);
}

int32_t lowestPitch(const TOnpu& r) {
  int i = 0;
  while (i + 1 < kPitchSlots && r.Pitch[i + 1] >= 0) ++i;
  return r.Pitch[i];
}

}  // namespace

int32_t NoteValue::length() const {
  int32_t total = size;
  for (int32_t d = 1; d <= dots; ++d) total += size >> d;
  return total;
}

int32_t notationBeat(int32_t timeNum, int32_t timeDen) {
  const int32_t unit = timeDen > 0 ? std::max(64 / timeDen, 1) : 16;
  int32_t beat = unit;
  if (timeDen >= 8) beat = (timeNum % 3 == 0) ? 3 * unit : 2 * unit;
  return std::max(beat, 1);
}

std::vector<int32_t> notePieces(int64_t length, int64_t fill, int32_t barLen) {
  std::vector<int32_t> out;
  for (int64_t left = length; left > 0;) {
    const int32_t size = pieceSize(left, fill, barLen);
    out.push_back(size);
    left -= size;
    fill += size;
    if (fill >= barLen) fill -= barLen;
  }
  return out;
}

std::vector<NoteValue> dottedValues(const std::vector<int32_t>& pieces, int64_t fill,
                                    const NotationMeter& meter) {
  std::vector<NoteValue> out;
  const int64_t barLen = std::max(meter.barLen, 1);
  const int64_t beat = std::max(meter.beat, 1);
  int64_t at = ((fill % barLen) + barLen) % barLen;
  for (size_t i = 0; i < pieces.size();) {
    NoteValue v{pieces[i], 0, static_cast<int32_t>(i), 1};
    // Take the following halves while the dotted value stays where a
    // musician expects one.
    for (int dots = 1; dots <= 2 && i + static_cast<size_t>(dots) < pieces.size(); ++dots) {
      if (pieces[i + static_cast<size_t>(dots)] * (1 << dots) != v.size) break;
      const NoteValue longer{v.size, dots, v.firstPiece, dots + 1};
      const int64_t end = at + longer.length();
      const bool inBeat = at / beat == (end - 1) / beat;
      // In compound time a value longer than a beat fills whole beats.
      const bool onBeat = longer.length() > beat && at % beat == 0 &&
                          (beat % 3 != 0 || longer.length() % beat == 0);
      if (end > barLen || !(inBeat || onBeat)) break;
      v = longer;
    }
    out.push_back(v);
    at += v.length();
    if (at >= barLen) at -= barLen;
    i += static_cast<size_t>(v.pieces);
  }
  return out;
}

std::vector<NoteValue> recordValues(const TOnpu& r, int64_t fill, const NotationMeter& meter) {
  return dottedValues(notePieces(r.Length, fill, meter.barLen), fill, meter);
}

std::vector<NoteValue> ownValues(int32_t length) {
  std::vector<NoteValue> out;
  for (int32_t own = length; own > 0 && out.size() < 8;) {
    int32_t size = 64;
    while (size > own) size /= 2;
    NoteValue v{size, 0, 0, 1};
    while (v.dots < 2 && (size >> (v.dots + 1)) > 0 && own >= v.length() + (size >> (v.dots + 1))) {
      ++v.dots;
    }
    out.push_back(v);
    own -= v.length();
  }
  return out;
}

int beamCount(int32_t size) {
  int count = 0;
  for (int32_t s = 8; s >= size && s >= 1; s /= 2) ++count;
  return std::min(count, kMaxBeams);
}

std::vector<BeamLevels> beamLevels(const std::vector<int32_t>& sizes,
                                   const std::vector<int32_t>& starts) {
  const size_t n = sizes.size();
  std::vector<BeamLevels> out(n);
  if (n < 2) return out;
  for (int level = 0; level < kMaxBeams; ++level) {
    auto has = [&](size_t i) { return beamCount(sizes[i]) > level; };
    for (size_t i = 0; i < n; ++i) {
      if (!has(i)) continue;
      const bool left = i > 0 && has(i - 1);
      const bool right = i + 1 < n && has(i + 1);
      BeamPart part = BeamPart::Continue;
      if (left && !right) {
        part = BeamPart::End;
      } else if (!left && right) {
        part = BeamPart::Begin;
      } else if (!left && !right) {
        // A hook points to the note it shares the beat's part with: from the
        // first note forwards, from the last backwards, from a note inside
        // the group forwards when it starts a part twice its value long.
        const int32_t from = starts[i] - starts[0];
        const bool forward = i == 0 || (i + 1 < n && from % (2 * sizes[i]) == 0);
        part = forward ? BeamPart::ForwardHook : BeamPart::BackwardHook;
      }
      out[i][static_cast<size_t>(level)] = part;
    }
  }
  return out;
}

bool stemPointsDown(const TOnpu& r, const BeamGroup& group, bool percussion, int32_t keySig) {
  if (percussion) return false;
  if (!group.members.empty()) return group.down;
  return standardStemDown(r, keySig);
}

int32_t stepsFromMiddleLine(int32_t pitch, int32_t keySig) {
  const int32_t q = pitch + 7;  // from the F below C, so that letters run F..E
  int32_t semitone = q % 12;
  const bool black =
      semitone == 1 || semitone == 3 || semitone == 5 || semitone == 8 || semitone == 10;
  if (semitone > 6) ++semitone;  // E to F is a semitone: every letter two apart
  int32_t index = 7 * (q / 12) + semitone / 2;
  if (black && keySig > 7) ++index;
  return index - (pitch >= kMiddleC ? kUpperMiddleLine : kLowerMiddleLine);
}

bool standardStemDown(const TOnpu& r, int32_t keySig) {
  return stepsFromMiddleLine(r.Pitch[0], keySig) + stepsFromMiddleLine(lowestPitch(r), keySig) >= 0;
}

int beamMembersBefore(const TOnpu& r, int32_t fill, const NotationMeter& meter) {
  BeamMember at = beamable(r, fill, meter);
  int count = 0;
  while (at.record != nullptr && at.record->Prev != nullptr) {
    const TOnpu& prev = *at.record->Prev;
    if (!isNoteOrRest(prev)) break;
    const int64_t f = fillBefore(prev, at.fill);
    if (f < 0) break;
    const BeamMember before = beamable(prev, static_cast<int32_t>(f), meter);
    if (!joins(before, at, meter)) break;
    at = before;
    ++count;
  }
  return count;
}

BeamGroup beamGroupOf(const TOnpu& r, int32_t fill, const NotationMeter& meter) {
  BeamGroup g;
  const BeamMember self = beamable(r, fill, meter);
  if (self.record == nullptr) return g;
  std::vector<BeamMember> before;
  for (BeamMember at = self; at.record->Prev != nullptr && isNoteOrRest(*at.record->Prev);) {
    const int64_t f = fillBefore(*at.record->Prev, at.fill);
    if (f < 0) break;
    const BeamMember m = beamable(*at.record->Prev, static_cast<int32_t>(f), meter);
    if (!joins(m, at, meter)) break;
    before.push_back(m);
    at = m;
  }
  g.members.assign(before.rbegin(), before.rend());
  g.index = static_cast<int>(g.members.size());
  g.members.push_back(self);
  for (BeamMember at = self; at.record->Next != nullptr && isNoteOrRest(*at.record->Next);) {
    int32_t bar = 0;
    int32_t f = at.fill;
    advanceBar(bar, f, barContribution(*at.record), meter.barLen);
    const BeamMember m = beamable(*at.record->Next, f, meter);
    if (!joins(at, m, meter)) break;
    g.members.push_back(m);
    at = m;
  }
  if (g.members.size() < 2) return {};

  std::vector<int32_t> sizes;
  std::vector<int32_t> starts;
  int64_t sum = 0;
  int32_t written = 0;
  for (const BeamMember& m : g.members) {
    sizes.push_back(m.value.size);
    starts.push_back(written);
    written += m.value.length();
    sum += stepsFromMiddleLine(m.record->Pitch[0], meter.keySig) +
           stepsFromMiddleLine(lowestPitch(*m.record), meter.keySig);
  }
  g.levels = beamLevels(sizes, starts);
  // The notes on average on or above their middle lines point down.
  g.down = sum >= 0;
  return g;
}

}  // namespace kelvara
