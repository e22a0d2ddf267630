#pragma once

#include <mutex>
#include <string>

#include "sound/midi_output.h"

namespace kelvara {

// A MIDI output that more than one thread may use: every call to the output
// it wraps is made under one lock (the UI thread's notes and program changes,
// the MIDI keyboard's notes from the input's thread).
class LockedMidiOutput : public MidiOutput {
 public:
  explicit LockedMidiOutput(MidiOutput& out) : out_(out) {}

  int midiOutGetNumDevs() override {
    const std::lock_guard lock(mutex_);
    return out_.midiOutGetNumDevs();
  }
  std::string midiOutGetDevCaps(int device) override {
    const std::lock_guard lock(mutex_);
    return out_.midiOutGetDevCaps(device);
  }
  bool midiOutOpen(int device) override {
    const std::lock_guard lock(mutex_);
    return out_.midiOutOpen(device);
  }
  void midiOutShortMsg(uint32_t message) override {
    const std::lock_guard lock(mutex_);
    out_.midiOutShortMsg(message);
  }
  void midiOutClose() override {
    const std::lock_guard lock(mutex_);
    out_.midiOutClose();
  }
  std::string takeNotice() override {
    const std::lock_guard lock(mutex_);
    return out_.takeNotice();
  }
  bool preparing() const override {
    const std::lock_guard lock(mutex_);
    return out_.preparing();
  }

 private:
  MidiOutput& out_;
  mutable std::mutex mutex_;
};

}  // namespace kelvara
