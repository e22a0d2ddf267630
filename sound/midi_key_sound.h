#pragma once

#include <array>
#include <cstdint>
#include <mutex>

#include "sound/midi_output.h"

namespace kelvara {

// What a MIDI keyboard plays, sounded at once on the thread that receives it,
// so that a note never waits for the UI thread to finish drawing: a note-on
// goes to the output on the work part's channel with the velocity played (the
// message is not passed on raw); a release ends the note on the channel it
// started on, or, while the sustain pedal is down, when the pedal comes up.
// Every call is made under one lock, so the UI thread may follow the work
// part and reset it while notes arrive; the output must be safe to use from
// the receiving thread too (LockedMidiOutput).
class MidiKeySound {
 public:
  explicit MidiKeySound(MidiOutput& out) : out_(out) {}

  // From the UI thread: the channel notes sound on (the work part's), and
  // whether keys sound at all (not while a dialog is open, nor before the
  // editor is up).
  void follow(int channel, bool enabled);
  // On the receiving thread: sounds or ends what the message says.
  void play(const ShortMessage& m);
  // Ends every sounding note and forgets the keys and the pedal.
  void reset();

 private:
  void end(int channel, int key);

  MidiOutput& out_;
  std::mutex mutex_;
  int channel_ = 0;
  bool enabled_ = false;
  bool pedal_ = false;
  // Per input channel and key: the output channel it sounds on (-1: none)
  // and whether the player still holds it.
  struct Key {
    int8_t soundChannel = -1;
    bool held = false;
  };
  std::array<std::array<Key, 128>, 16> keys_{};
};

// The sustain pedal (controller 64): values 64..127 are down.
constexpr uint8_t kSustainPedal = 64;
inline bool isSustainPedal(const ShortMessage& m) {
  return m.kind() == 0xB0 && m.data1 == kSustainPedal;
}
inline bool sustainPedalDown(const ShortMessage& m) {
  return m.data2 >= 64;
}

}  // namespace kelvara
