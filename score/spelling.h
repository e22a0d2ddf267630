#pragma once

#include <array>
#include <cstdint>

#include "score/onpu.h"

namespace kelvara {

// Per staff letter (0..6 = F G A B C D E): -1 flat, 0 natural, 1 sharp.
using LetterAccidentals = std::array<int32_t, kLetters>;

// The sign drawn in front of a note head.
enum class AccidentalSign { None, Sharp, Flat, Natural };

// Where a pitch stands on the staff and what is drawn in front of it.
struct Spelling {
  int32_t letter;  // 0..6 = F G A B C D E
  int32_t group;   // octave group; the letters run F..E inside one
  AccidentalSign sign;
  // Staff index: one step per line or space (middle C is 39).
  int32_t index() const { return 7 * group + letter; }
};

// The accidentals a key signature puts in force (KeySig 0..14; 7 - KeySig
// sharps, negative: flats).
LetterAccidentals keyAccidentals(int32_t keySig);

// Spells `pitch` against the accidentals in force: a black key takes the
// sharp or flat already in force on a neighbouring letter, else a sharp (a
// flat when its letter is flattened); a white key takes a natural sign unless
// its letter is natural or it can stand as B sharp, E sharp, C flat or F flat.
// `acc` is updated by the sign drawn and `delta` (may be null) gets the
// change added to it.
Spelling spellPitch(int32_t pitch, LetterAccidentals& acc, LetterAccidentals* delta);

// The alteration in semitones a spelled pitch carries (-1, 0 or 1) and its
// octave in the usual numbering (middle C is in octave 4).
int32_t spelledAlter(int32_t pitch, const Spelling& spelling);
int32_t spelledOctave(const Spelling& spelling);
// The letter as a note name: 'F', 'G', 'A', 'B', 'C', 'D', 'E'.
char letterName(int32_t letter);

}  // namespace kelvara
