#pragma once

#include <cstdint>

#include "score/editor_state.h"
#include "score/spelling.h"

namespace kelvara {

// Standard notation draws the same cells as the usual drawing; only
// what stands inside them differs. These are the rules that differ and that
// more than the drawing needs (the cursor's accidental state, the exports).

// Where a drum key stands on the percussion staff (staff index as for
// pitches: 41 is the bottom line E4, 49 the top line F5) and whether it is
// drawn with a cross head (cymbals and hi-hats), and whether it is the open
// hi-hat, marked with a small circle.
struct DrumNote {
  int32_t index;
  bool cross;
  bool open = false;
};
DrumNote drumNote(int32_t key);
// The lowest staff index of a drum chord's notes.
int32_t lowestDrumIndex(const TOnpu& r);

// Whether `part` is drawn on the percussion staff: the percussion part with
// standard notation on.
inline bool drawsPercussionStaff(const EditorState& s, int part) {
  return s.StandardNotation && part == kPercussionPart;
}

// Whether a record that starts `fill` 64ths into its bar reaches the bar
// line: after it the accidentals of standard notation are the key's again.
bool reachesBarLine(const TOnpu& r, int32_t fill, int32_t barLen);

// The accidentals in force after record `r` of `part` that starts `fill`
// 64ths into its bar, from `acc` in force before it: its signs, then, with
// standard notation, the key signature again when it reaches the bar line.
// The percussion staff has no accidentals.
void accidentalsAfter(const EditorState& s, int part, const TOnpu& r, int32_t fill,
                      LetterAccidentals& acc);

// The accidentals in force at the cursor of `part`, counted afresh from the
// key signature at the first record of the page that shows the cursor
// (`pageNode`, which starts `pageFill` 64ths into its bar).
LetterAccidentals countAccidentals(const EditorState& s, int part, const TOnpu* pageNode,
                                   int32_t pageFill);

}  // namespace kelvara
