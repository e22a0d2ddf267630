#include "sound/part_voices.h"

namespace kelvara {

void reopenMidiOutput(MidiOutput& out, int device, const std::array<int32_t, kMidiParts>& programs,
                      ProgramChanges which, bool closeFirst) {
  if (closeFirst) out.midiOutClose();
  out.midiOutOpen(device);
  for (int channel = 0; channel < kMidiParts; ++channel) {
    if (which == ProgramChanges::MelodicChannels && channel == 9) continue;
    out.midiOutShortMsg(packShortMessage(0xC0u + static_cast<uint32_t>(channel),
                                         static_cast<uint32_t>(programs[channel]), 0));
  }
}

}  // namespace kelvara
