#pragma once

#include <string>
#include <vector>

#include "sound/midi_output.h"

namespace kelvara {

// A MIDI output that keeps everything asked of it; for tests.
class RecordingMidiOutput : public MidiOutput {
 public:
  struct Event {
    enum class Kind { Open, Message, Close } kind;
    int device = -1;       // Open only
    uint32_t message = 0;  // Message only
    friend bool operator==(const Event&, const Event&) = default;
  };

  explicit RecordingMidiOutput(int deviceCount = 1) : deviceCount_(deviceCount) {}

  int midiOutGetNumDevs() override { return deviceCount_; }
  std::string midiOutGetDevCaps(int device) override;
  bool midiOutOpen(int device) override;
  void midiOutShortMsg(uint32_t message) override;
  void midiOutClose() override;

  const std::vector<Event>& events() const { return events_; }
  // Only the packed messages, in order.
  std::vector<uint32_t> messages() const;
  void clear() { events_.clear(); }
  bool isOpen() const { return open_; }
  int openDevice() const { return device_; }

 private:
  int deviceCount_;
  bool open_ = false;
  int device_ = -1;
  std::vector<Event> events_;
};

}  // namespace kelvara
