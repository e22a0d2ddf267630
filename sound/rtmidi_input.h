#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sound/midi_input.h"

class RtMidiIn;

namespace kelvara {

// The ALSA sequencer's input ports through RtMidi. Without a sequencer (no
// /dev/snd/seq: a server, a container) it simply has no ports. Ports are
// listed by a client of their own, so listing on the UI thread never shares a
// sequencer handle with the thread that receives.
class RtMidiInput : public MidiInput {
 public:
  // `clientName` is how the program appears to other sequencer clients.
  explicit RtMidiInput(std::string clientName = "Kelvara");
  ~RtMidiInput() override;

  std::vector<MidiPortInfo> midiInPorts() override;
  bool midiInOpen(const std::string& id, MidiInputQueue& queue, std::string& error) override;
  void midiInClose() override;

 private:
  std::string clientName_;
  std::unique_ptr<RtMidiIn> lister_;
  std::unique_ptr<RtMidiIn> receiver_;
  // Filled by RtMidi's error callback during a call on the UI thread.
  std::string lastError_;
};

}  // namespace kelvara
