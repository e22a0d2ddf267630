#pragma once

#include <array>
#include <cstdint>

namespace kelvara {

// Virtual-key codes of the keys the editor handles (Japanese keyboard layout).
namespace vk {
constexpr int kBack = 8;
constexpr int kShift = 16;
constexpr int kControl = 17;
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kDelete = 46;
constexpr int kDigit1 = 49;
constexpr int kDigit7 = 55;
constexpr int kDigit8 = 56;
constexpr int kDigit9 = 57;
constexpr int kC = 67;
constexpr int kS = 83;
constexpr int kV = 86;
constexpr int kX = 88;
constexpr int kY = 89;
constexpr int kZ = 90;
}  // namespace vk

// One key of the two rows played as a piano. Offsets are semitones from the
// work part's base key; kNotMapped where the arrangement leaves the key out.
struct MappedKey {
  int code;
  int markX;  // where its letter stands on the on-screen keyboard
  int markY;
  int majorOffset;
  int minorOffset;
};
constexpr int kNotMapped = 1000;

constexpr std::array<MappedKey, 23> kKeyMap = {{
    {90, 94, 130, -3, -4},           // z
    {88, 134, 130, -1, -2},          // x
    {67, 174, 130, 0, 0},            // c
    {86, 214, 130, 2, 2},            // v
    {66, 254, 130, 4, 3},            // b
    {78, 294, 130, 5, 5},            // n
    {77, 334, 130, 7, 7},            // m
    {188, 374, 130, 9, 8},           // ,
    {190, 414, 130, 11, 10},         // .
    {191, 454, 130, 12, 12},         // /
    {226, 494, 130, 14, 14},         // \ (left of the right Shift)
    {65, 75, 80, -4, kNotMapped},    // a
    {83, 115, 80, -2, -3},           // s
    {68, 155, 80, kNotMapped, -1},   // d
    {70, 195, 80, 1, 1},             // f
    {71, 235, 80, 3, kNotMapped},    // g
    {72, 275, 80, kNotMapped, 4},    // h
    {74, 315, 80, 6, 6},             // j
    {75, 355, 80, 8, kNotMapped},    // k
    {76, 395, 80, 10, 9},            // l
    {187, 435, 80, kNotMapped, 11},  // ;
    {186, 475, 80, 13, 13},          // :
    {221, 515, 80, 15, kNotMapped},  // ]
}};

// Index of `code` in the key map, or -1.
int keyIndex(int code);

}  // namespace kelvara
