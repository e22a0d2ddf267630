#pragma once

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <string>
#include <vector>

#include "sound/midi_input.h"

namespace kelvara {

// A MIDI input whose ports come and go as a test says, and which plays
// whatever the test hands it into the open port's queue, from any thread.
class FakeMidiInput : public MidiInput {
 public:
  std::vector<MidiPortInfo> midiInPorts() override { return present; }
  bool midiInOpen(const std::string& id, MidiInputQueue& queue, std::string& error) override {
    midiInClose();
    if (refuse || std::none_of(present.begin(), present.end(),
                               [&](const MidiPortInfo& p) { return p.id == id; })) {
      error = refuse ? "使用中です" : "ありません";
      return false;
    }
    opened = id;
    queue_.store(&queue);
    return true;
  }
  void midiInClose() override {
    opened.clear();
    queue_.store(nullptr);
  }

  // Plays the bytes of one message into the open port, as the system would.
  void play(std::initializer_list<uint8_t> bytes) {
    const std::vector<uint8_t> b(bytes);
    MidiInputQueue* queue = queue_.load();
    if (queue == nullptr) return;
    if (const auto m = channelMessage(b.data(), b.size())) queue->push(*m);
  }

  std::vector<MidiPortInfo> present;
  std::string opened;
  bool refuse = false;

 private:
  std::atomic<MidiInputQueue*> queue_{nullptr};
};

}  // namespace kelvara
