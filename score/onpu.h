#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kelvara {

// What Pitch[0] of a record says about its kind. Notes have Pitch[0] > 0.
constexpr int32_t kRestPitch = 0;
constexpr int32_t kListHead = -5;
constexpr int32_t kStartMarker = -7;
constexpr int32_t kEndMarker = -10;
constexpr int32_t kEmptySlot = -1;

constexpr int kPitchSlots = 10;
constexpr int kLetters = 7;  // staff letters, index 0..6 = F G A B C D E

// Widths in pixels of the score picture.
constexpr int32_t kCellWidth = 70;
constexpr int32_t kStartMarkerWidth = 10;

// The whole-score file keeps a record's length (64ths) and its drawn width
// (pixels) in 16 bits each: entry never makes a record longer or wider.
constexpr int32_t kMaxFileLength = 65535;
constexpr int32_t kMaxFileWidth = 65535;

// The one record of the score: a note or chord, a rest, or a list marker.
// Lengths are in 64ths of a whole note; pitches are MIDI key numbers.
struct TOnpu {
  std::array<int32_t, kPitchSlots> Pitch;  // highest first, empty slots -1
  int32_t LastIndex;                       // index of the last slot in use
  int32_t Width;                           // pixels; rewritten whenever drawn
  int32_t Length;                          // notated length in 64ths
  std::array<int32_t, kLetters> AccDelta;  // change this record makes to AccState
  int32_t Velocity;
  int32_t LenNum;  // sounding-length adjustment, LenNum / LenDen of a whole note
  int32_t LenDen;
  int32_t YoinType;  // lingering tail: 0 constant, 1 shift, 2 vibrato
  int32_t YoinStartNum;
  int32_t YoinStartDen;
  int32_t YoinAmount;  // hundredths of a whole tone, signed
  int32_t YoinPeriod;  // vibrato period; 4 = a 16th note
  int32_t RenIndex;    // 1..RenCount inside a tuplet group, 0 outside
  int32_t RenCount;    // members of the group; 4 outside any group
  int32_t RenLength;   // span of the whole group in 64ths; 0 outside
  TOnpu* Prev;
  TOnpu* Next;
  uint8_t Closed;  // 1 complete; 0 still open for further chord pitches
};

// Sets every field to the values of a freshly entered record (links cleared).
void initRecord(TOnpu& r, int32_t pitch, int32_t length, uint8_t closed);

// Allocates an unlinked record with the values of a freshly entered note.
TOnpu* makeRecord(int32_t pitch, int32_t length, uint8_t closed);
void freeRecord(TOnpu* r);
// While a sink is set, freeRecord hands records to it instead of freeing
// them (the undo history keeps what a command removes). nullptr: free again.
void setFreedRecordSink(std::vector<TOnpu*>* sink);

// Links rec into the list just before (or after) x.
void linkBefore(TOnpu* x, TOnpu* rec);
void linkAfter(TOnpu* x, TOnpu* rec);
// Takes x out of its list; x itself is left allocated.
void unlinkRecord(TOnpu* x);

inline bool isNote(const TOnpu& r) {
  return r.Pitch[0] > 0;
}
inline bool isRest(const TOnpu& r) {
  return r.Pitch[0] == kRestPitch;
}
inline bool isNoteOrRest(const TOnpu& r) {
  return r.Pitch[0] >= -1;
}
inline bool isEndMarker(const TOnpu& r) {
  return r.Pitch[0] <= -8;
}

// How far passing the record moves the bar position, in 64ths: a whole
// tuplet group counts once, by its span, on its last member.
int32_t barContribution(const TOnpu& r);

// The neutral tuplet values of a record outside any group.
void clearTuplet(TOnpu& r);

// A tuplet group is a run of records numbered 1, 2, ... with the same count
// and span. True when r is the member that comes right after prev in prev's
// group. Members left of a deleted or cut group still count as one group.
bool followsInGroup(const TOnpu& prev, const TOnpu& r);
// The earliest member of r's group still linked before r (r itself outside
// any group or at its group's start).
TOnpu* tupletStart(TOnpu* r);
// Clears r and the members of its group that follow it; returns the first
// record after them.
TOnpu* clearTupletFrom(TOnpu* r);

// Dissolves the tuplet group r belongs to: every member becomes a plain
// record. Only that group is touched; a group right before or after it,
// complete or not, keeps its members.
void dissolveTuplet(TOnpu* r);

}  // namespace kelvara
