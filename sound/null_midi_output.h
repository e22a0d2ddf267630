#pragma once

#include "sound/midi_output.h"

namespace kelvara {

// A MIDI output with no devices: everything sent to it is dropped.
class NullMidiOutput : public MidiOutput {
 public:
  int midiOutGetNumDevs() override { return 0; }
  std::string midiOutGetDevCaps(int) override { return {}; }
  bool midiOutOpen(int) override { return false; }
  void midiOutShortMsg(uint32_t) override {}
  void midiOutClose() override {}
};

}  // namespace kelvara
