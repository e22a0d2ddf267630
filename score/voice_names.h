#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kelvara {

constexpr int kVoiceCount = 128;

// The names of the 128 General MIDI programs as the voice lists show them,
// in program order.
const std::array<std::string_view, kVoiceCount>& voiceNames();

// One entry of a voice list: the program number right-aligned in three
// characters, a colon, a blank and the name ("  0: Piano 1"). Empty for a
// number outside 0..127.
std::string voiceListEntry(int program);

}  // namespace kelvara
