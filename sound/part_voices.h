#pragma once

#include <array>
#include <cstdint>

#include "sound/midi_output.h"

namespace kelvara {

constexpr int kMidiParts = 11;
// The percussion part's channel (MIDI channel 10 counted from 1).
constexpr int kPercussionChannel = 9;

// Which channels get a program change after the output has been opened.
enum class ProgramChanges {
  AllChannels,      // channels 0..10 (start-up, after a load)
  MelodicChannels,  // channels 0..8 and 10 (sound dialog, after preview)
};

// The device to open for the remembered device number: itself while the
// output has such a device, else device 0 (a port from the settings file that
// is gone, or a damaged number).
int usableMidiDevice(MidiOutput& out, int device);

// Closes the output, opens `device` (or device 0, see usableMidiDevice) and
// sends each part's program on its channel (the channel is the part index),
// in ascending channel order. Returns the device number opened.
int reopenMidiOutput(MidiOutput& out, int device, const std::array<int32_t, kMidiParts>& programs,
                     ProgramChanges which, bool closeFirst = true);

// Live note messages on the work part's channel; velocity 0 ends the note.
inline uint32_t noteOnMessage(int part, int32_t key, int32_t velocity) {
  return packShortMessage(0x90u + static_cast<uint32_t>(part), static_cast<uint32_t>(key),
                          static_cast<uint32_t>(velocity));
}

}  // namespace kelvara
