#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sound/port_midi_output.h"

class RtMidiOut;

namespace kelvara {

// The ALSA sequencer's output ports through RtMidi. Without a sequencer (no
// /dev/snd/seq: a server, a container) it simply has no ports.
class RtMidiPortService : public MidiPortService {
 public:
  // `clientName` is how the program appears to other sequencer clients.
  explicit RtMidiPortService(const std::string& clientName = "Kelvara");
  ~RtMidiPortService() override;

  std::vector<MidiPortInfo> ports() override;
  bool connect(const std::string& id, std::string& error) override;
  void disconnect() override;
  bool send(const uint8_t* bytes, size_t count) override;

 private:
  std::unique_ptr<RtMidiOut> midi_;
  // Filled by RtMidi's error callback during a call; read right after it.
  std::string lastError_;
};

}  // namespace kelvara
