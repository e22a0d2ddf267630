#include "score/standard_notation.h"

#include <algorithm>

#include "score/bar_math.h"
#include "score/part_list.h"

namespace kelvara {

namespace {

// Staff indices of the percussion staff.
constexpr int32_t kD4 = 40;  // below the bottom line: the hi-hat's pedal
constexpr int32_t kF4 = 42;  // bass drum
constexpr int32_t kG4 = 43;
constexpr int32_t kA4 = 44;  // floor toms
constexpr int32_t kB4 = 45;
constexpr int32_t kC5 = 46;  // snare
constexpr int32_t kD5 = 47;
constexpr int32_t kE5 = 48;  // toms
constexpr int32_t kF5 = 49;  // ride
constexpr int32_t kG5 = 50;  // hi-hat
constexpr int32_t kA5 = 51;  // crash
constexpr int32_t kB5 = 52;

struct DrumEntry {
  int32_t key;
  DrumNote note;
};

// The common drum-set places; keys not listed stand on the middle line.
constexpr DrumEntry kDrums[] = {
    {35, {kF4, false}},       // acoustic bass drum
    {36, {kF4, false}},       // bass drum
    {37, {kC5, true}},        // side stick
    {38, {kC5, false}},       // snare
    {39, {kC5, true}},        // hand clap
    {40, {kC5, false}},       // electric snare
    {41, {kG4, false}},       // low floor tom
    {42, {kG5, true}},        // closed hi-hat
    {43, {kA4, false}},       // high floor tom
    {44, {kD4, true}},        // pedal hi-hat
    {45, {kD5, false}},       // low tom
    {46, {kG5, true, true}},  // open hi-hat
    {47, {kD5, false}},       // low-mid tom
    {48, {kE5, false}},       // hi-mid tom
    {49, {kA5, true}},        // crash cymbal
    {50, {kF5, false}},       // high tom
    {51, {kF5, true}},        // ride cymbal
    {52, {kB5, true}},        // china cymbal
    {53, {kF5, true}},        // ride bell
    {54, {kE5, true}},        // tambourine
    {55, {kB5, true}},        // splash cymbal
    {56, {kE5, false}},       // cowbell
    {57, {kB5, true}},        // crash cymbal 2
    {59, {kF5, true}},        // ride cymbal 2
};

}  // namespace

DrumNote drumNote(int32_t key) {
  for (const DrumEntry& d : kDrums) {
    if (d.key == key) return d.note;
  }
  return {kB4, false};
}

int32_t lowestDrumIndex(const TOnpu& r) {
  int32_t lowest = drumNote(r.Pitch[0]).index;
  for (int i = 1; i < kPitchSlots && r.Pitch[i] >= 0; ++i) {
    lowest = std::min(lowest, drumNote(r.Pitch[i]).index);
  }
  return lowest;
}

bool reachesBarLine(const TOnpu& r, int32_t fill, int32_t barLen) {
  return int64_t{fill} + barContribution(r) >= barLen;
}

void accidentalsAfter(const EditorState& s, int part, const TOnpu& r, int32_t fill,
                      LetterAccidentals& acc) {
  if (isNote(r) && !drawsPercussionStaff(s, part)) {
    for (int i = 0; i < kPitchSlots && r.Pitch[i] >= 0; ++i) spellPitch(r.Pitch[i], acc, nullptr);
  }
  if (s.StandardNotation && reachesBarLine(r, fill, s.BarLen())) acc = keyAccidentals(s.KeySig);
}

LetterAccidentals countAccidentals(const EditorState& s, int part, const TOnpu* pageNode,
                                   int32_t pageFill) {
  LetterAccidentals acc = keyAccidentals(s.KeySig);
  const int32_t barLen = s.BarLen();
  int32_t bar = 1;
  int32_t fill = pageFill;
  for (const TOnpu* r = pageNode; r != s.CurNode[part] && !isEndMarker(*r); r = r->Next) {
    accidentalsAfter(s, part, *r, fill, acc);
    advanceBar(bar, fill, barContribution(*r), barLen);
  }
  return acc;
}

}  // namespace kelvara
