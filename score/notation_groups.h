#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "score/onpu.h"

namespace kelvara {

// Which records standard notation writes as one dotted value and which notes
// it beams together. Lengths and positions are in 64ths; a position is the
// fill of the bar before the record, as the bar arithmetic keeps it.

// The beat inside which eighths and shorter are beamed and a dotted value
// must stand: a quarter in x/4, a half in x/2 (2/2 too), a dotted quarter in
// 3/8, 6/8, 9/8 and 12/8, two eighths in the other x/8 times. Never below 1.
int32_t notationBeat(int32_t timeNum, int32_t timeDen);

// One written note value: a power of two (64 .. 1) with 0..2 dots, standing
// for `pieces` consecutive pieces of a record from piece `firstPiece` on.
struct NoteValue {
  int32_t size = 0;
  int32_t dots = 0;
  int32_t firstPiece = 0;
  int32_t pieces = 1;

  int32_t length() const;  // in 64ths, dots included
};

// The pieces (one cell each) a note of `length` starting at `fill` is drawn
// in: the largest value that fits what is left and the rest of the bar.
std::vector<int32_t> notePieces(int64_t length, int64_t fill, int32_t barLen);

// A tuplet member's own length written as note values (at most two dots a
// value); the values of a member stand in its group's cells.
std::vector<NoteValue> ownValues(int32_t length);

// The beam of one note at one level, under the names MusicXML gives them.
enum class BeamPart : uint8_t { None, Begin, Continue, End, ForwardHook, BackwardHook };
constexpr int kMaxBeams = 4;  // a 64th carries four beams
using BeamLevels = std::array<BeamPart, kMaxBeams>;

// Number of beams (or flags) of a note value: 8 -> 1, 4 -> 2, 2 -> 3, 1 -> 4.
int beamCount(int32_t size);

// The beams of a run of notes joined by beams, given their note values and
// where each starts (any common origin): the first level joins them all;
// deeper levels join neighbours that both have them, and a note alone at a
// level gets a hook towards the note it shares its beat part with.
std::vector<BeamLevels> beamLevels(const std::vector<int32_t>& sizes,
                                   const std::vector<int32_t>& starts);

// Where the bar arithmetic stands and what standard notation counts in.
struct NotationMeter {
  int32_t barLen = 64;
  int32_t beat = 16;
  int32_t keySig = 7;  // the key signature (as KeySig), by which black keys are placed for stems
};

// The pieces starting at `fill`, written as note values: a piece followed by
// its half (and that half's half) becomes one dotted value when the dotted
// value lies inside one beat, or, longer than a beat, starts on a beat; it
// never reaches past the bar line.
std::vector<NoteValue> dottedValues(const std::vector<int32_t>& pieces, int64_t fill,
                                    const NotationMeter& meter);

// The written values of a record that is no tuplet member, starting at `fill`.
std::vector<NoteValue> recordValues(const TOnpu& r, int64_t fill, const NotationMeter& meter);

// One note of a beam group.
struct BeamMember {
  const TOnpu* record = nullptr;
  NoteValue value;        // its single written value
  int32_t fill = 0;       // bar position before it (a tuplet's start, for members)
  int32_t cells = 1;      // cells the record occupies
  int32_t valueCell = 0;  // the cell its value stands in
};

// The notes beamed together with a record, left to right.
struct BeamGroup {
  std::vector<BeamMember> members;  // empty: the record keeps its own flag
  std::vector<BeamLevels> levels;   // per member
  int index = -1;                   // the asked record's place among members
  bool down = false;                // one stem direction for all
};

// The beam group of the record `r` that starts at bar position `fill`: the
// notes of an eighth or shorter next to it inside the same beat of the same
// bar (or inside the same tuplet group), unbroken by a rest or a longer note.
BeamGroup beamGroupOf(const TOnpu& r, int32_t fill, const NotationMeter& meter);

// Whether the stem of note record `r` points down in standard notation:
// the direction of its beam group (`group`, as beamGroupOf gives it) when it
// has one, else as standardStemDown says. The percussion staff's stems
// always point up.
bool stemPointsDown(const TOnpu& r, const BeamGroup& group, bool percussion, int32_t keySig);

// Steps of a pitch above the middle line of its staff on the grand staff
// (negative below): middle C and up stand on the upper staff (middle line
// B4), lower notes on the lower one (middle line D3); a black key counts on
// the letter above in a key with flats (`keySig` as KeySig), else below.
int32_t stepsFromMiddleLine(int32_t pitch, int32_t keySig);

// Whether a lone note or chord's stem points down in standard notation: the
// head farther from its staff's middle line decides, and a note on the
// middle line points down.
bool standardStemDown(const TOnpu& r, int32_t keySig);

// How many records before `r` (at bar position `fill`) belong to its beam
// group; 0 when it begins one or stands alone.
int beamMembersBefore(const TOnpu& r, int32_t fill, const NotationMeter& meter);

}  // namespace kelvara
