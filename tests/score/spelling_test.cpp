#include <gtest/gtest.h>

#include <string>

#include "score/spelling.h"

namespace kelvara {
namespace {

// A pitch as a notation program reads it: letter, alteration, octave, and
// the sign the editor draws ("" none, "#", "b", "n").
std::string spelled(int32_t pitch, LetterAccidentals& acc) {
  const Spelling sp = spellPitch(pitch, acc, nullptr);
  const char* signs[] = {"", "#", "b", "n"};
  return std::string(1, letterName(sp.letter)) + std::to_string(spelledAlter(pitch, sp)) +
         std::to_string(spelledOctave(sp)) + signs[static_cast<int>(sp.sign)];
}

TEST(Spelling, KeysAndAccidentalsInForceGiveLetterAlterationAndOctave) {
  const struct {
    int32_t keySig;
    int32_t pitch;
    std::string expected;
  } cases[] = {
      {7, 60, "C04"}, {7, 61, "C14#"},  {7, 59, "B03"},   {7, 0, "C0-1"},  {7, 127, "G09"},
      {6, 66, "F14"}, {6, 65, "F04n"},  {8, 70, "B-14"},  {8, 71, "B04n"}, {0, 65, "E14"},
      {0, 60, "B13"}, {14, 59, "C-14"}, {14, 64, "F-14"}, {9, 63, "E-14"}, {10, 56, "A-13"},
  };
  for (const auto& c : cases) {
    LetterAccidentals acc = keyAccidentals(c.keySig);
    EXPECT_EQ(spelled(c.pitch, acc), c.expected) << "key " << c.keySig << " pitch " << c.pitch;
  }
}

TEST(Spelling, AnAccidentalStaysInForceAndIsRecordedAsTheRecordsChange) {
  LetterAccidentals acc = keyAccidentals(7);
  LetterAccidentals delta{};
  EXPECT_EQ(spellPitch(66, acc, &delta).sign, AccidentalSign::Sharp);
  EXPECT_EQ(delta[0], 1) << "F is sharp from here on";
  EXPECT_EQ(spelled(66, acc), "F14") << "no second sign";
  EXPECT_EQ(spelled(77, acc), "F05n") << "a natural, an octave higher too";
  EXPECT_EQ(spelled(65, acc), "F04") << "the natural stays in force";
}

}  // namespace
}  // namespace kelvara
