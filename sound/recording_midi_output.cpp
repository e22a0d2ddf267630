#include "sound/recording_midi_output.h"

namespace kelvara {

std::string RecordingMidiOutput::midiOutGetDevCaps(int device) {
  if (device < 0 || device >= deviceCount_) return {};
  return "Recorder " + std::to_string(device);
}

bool RecordingMidiOutput::midiOutOpen(int device) {
  events_.push_back({Event::Kind::Open, device, 0});
  open_ = device >= 0 && device < deviceCount_;
  device_ = open_ ? device : -1;
  return open_;
}

void RecordingMidiOutput::midiOutShortMsg(uint32_t message) {
  events_.push_back({Event::Kind::Message, -1, message});
}

void RecordingMidiOutput::midiOutClose() {
  events_.push_back({Event::Kind::Close, -1, 0});
  open_ = false;
  device_ = -1;
}

std::vector<uint32_t> RecordingMidiOutput::messages() const {
  std::vector<uint32_t> out;
  for (const Event& e : events_) {
    if (e.kind == Event::Kind::Message) out.push_back(e.message);
  }
  return out;
}

}  // namespace kelvara
