#include "score/spelling.h"

namespace kelvara {

namespace {

// The letters of the sharps and of the flats of a key signature, in the
// order they are added.
constexpr int32_t kSharpLetters[] = {0, 4, 1, 5, 2, 6, 3};  // F C G D A E B
constexpr int32_t kFlatLetters[] = {3, 6, 2, 5, 1, 4, 0};   // B E A D G C F
// Semitones of each letter above the C of its octave.
constexpr int32_t kLetterSemitone[] = {5, 7, 9, 11, 0, 2, 4};

}  // namespace

LetterAccidentals keyAccidentals(int32_t keySig) {
  LetterAccidentals acc{};
  for (int32_t i = 0; i < 7; ++i) {
    if (keySig < 7 - i) acc[kSharpLetters[i]] = 1;
    if (keySig > 7 + i) acc[kFlatLetters[i]] = -1;
  }
  return acc;
}

Spelling spellPitch(int32_t pitch, LetterAccidentals& acc, LetterAccidentals* delta) {
  const int32_t q = pitch + 7;
  int32_t r = q % 12;
  if (r > 6) ++r;
  Spelling out{r / 2, q / 12, AccidentalSign::None};
  auto set = [&](int32_t letter, int32_t value) {
    if (delta != nullptr) (*delta)[letter] += value - acc[letter];
    acc[letter] = value;
  };
  const int32_t L = out.letter;
  if (r % 2 == 0) {  // white key
    if (acc[L] == 0) return out;
    if (L == 4 && acc[3] == 1) {  // B sharp
      out.letter = 3;
      return out;
    }
    if (L == 0 && acc[6] == 1) {  // E sharp, the E just below
      out.letter = 6;
      --out.group;
      return out;
    }
    if (L == 3 && acc[4] == -1) {  // C flat
      out.letter = 4;
      return out;
    }
    if (L == 6 && acc[0] == -1) {  // F flat, the F just above
      out.letter = 0;
      ++out.group;
      return out;
    }
    set(L, 0);
    out.sign = AccidentalSign::Natural;
    return out;
  }
  // A black key lies above letter L (never B or E), so L + 1 is a letter.
  if (acc[L] == 1) return out;
  if (acc[L + 1] == -1) {
    out.letter = L + 1;
    return out;
  }
  if (acc[L + 1] == 1 || acc[L] == 0) {
    set(L, 1);
    out.sign = AccidentalSign::Sharp;
    return out;
  }
  out.letter = L + 1;
  set(L + 1, -1);
  out.sign = AccidentalSign::Flat;
  return out;
}

int32_t spelledOctave(const Spelling& spelling) {
  // Group g holds F..B of octave g - 1 and C..E of octave g.
  return spelling.letter >= 4 ? spelling.group - 1 : spelling.group - 2;
}

int32_t spelledAlter(int32_t pitch, const Spelling& spelling) {
  const int32_t natural = 12 * (spelledOctave(spelling) + 1) + kLetterSemitone[spelling.letter];
  return pitch - natural;
}

char letterName(int32_t letter) {
  return "FGABCDE"[letter];
}

}  // namespace kelvara
