#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "score/ui_text.h"
#include "sound/midi_input_queue.h"
#include "sound/port_midi_output.h"

namespace kelvara {

// The channel message in `bytes` as the input port delivers it (status byte
// first, no running status); nothing for system messages and for anything
// malformed: a data byte above 127, or a length that does not fit the status.
std::optional<ShortMessage> channelMessage(const uint8_t* bytes, size_t count);

// The MIDI input layer: the system's MIDI input ports, at most one of which is
// open. What the open port plays arrives on the input's own thread and goes
// into a queue that the UI thread empties.
class MidiInput {
 public:
  virtual ~MidiInput() = default;

  // The input ports present now, in the system's order.
  virtual std::vector<MidiPortInfo> midiInPorts() = 0;
  // Opens the port with this id, closing whatever was open; its channel
  // messages go to `queue` until it is closed. On failure (the port is gone,
  // the system refused) returns false and says why in `error`.
  virtual bool midiInOpen(const std::string& id, MidiInputQueue& queue, std::string& error) = 0;
  // Closes the open port; no message reaches the queue after it returns.
  virtual void midiInClose() = 0;
};

// An input with no ports (no MIDI system, or none wanted).
class NullMidiInput : public MidiInput {
 public:
  std::vector<MidiPortInfo> midiInPorts() override { return {}; }
  bool midiInOpen(const std::string&, MidiInputQueue&, std::string& error) override {
    error = uiText("kelvara::Sound", "MIDI入力ポートがありません");
    return false;
  }
  void midiInClose() override {}
};

}  // namespace kelvara
