#include "sound/part_voices.h"

namespace kelvara {

int usableMidiDevice(MidiOutput& out, int device) {
  return device >= 0 && device < out.midiOutGetNumDevs() ? device : 0;
}

int reopenMidiOutput(MidiOutput& out, int device, const std::array<int32_t, kMidiParts>& programs,
                     ProgramChanges which, bool closeFirst) {
  if (closeFirst) out.midiOutClose();
  const int opened = usableMidiDevice(out, device);
  out.midiOutOpen(opened);
  for (int channel = 0; channel < kMidiParts; ++channel) {
    if (which == ProgramChanges::MelodicChannels && channel == kPercussionChannel) continue;
    out.midiOutShortMsg(packShortMessage(0xC0u + static_cast<uint32_t>(channel),
                                         static_cast<uint32_t>(programs[channel]), 0));
  }
  return opened;
}

}  // namespace kelvara
