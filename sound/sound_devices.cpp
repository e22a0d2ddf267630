#include "sound/sound_devices.h"

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <utility>
#include <vector>

#include "sound/fluid_synth_output.h"
#include "sound/port_midi_output.h"
#include "sound/rtmidi_port_service.h"
#include "sound/soundfont_search.h"
#include "sound/system_midi_output.h"

namespace kelvara {

namespace {

// The ALSA library prints its own complaints (no sound card, no sequencer);
// the outputs tell the user in plain words instead.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

std::vector<std::string> audioDrivers(const FluidSynthOptions& defaults) {
  const char* named = std::getenv(kAudioDriverVariable);
  if (named == nullptr || *named == '\0') return defaults.audioDrivers;
  std::vector<std::string> drivers;
  std::istringstream list(named);
  for (std::string name; std::getline(list, name, ',');) {
    // The synthesizer's "file" driver writes what would sound into
    // fluidsynth.wav in the working folder, unasked, for as long as the
    // editor runs: audio files are written only by the save command.
    if (name == "file") {
      std::fprintf(stderr, "kelvara: the audio driver \"file\" is not used\n");
      continue;
    }
    if (!name.empty()) drivers.push_back(name);
  }
  return drivers;
}

}  // namespace

std::unique_ptr<MidiOutput> createSystemMidiOutput(
    const std::optional<std::string>& soundFontOption) {
  if (std::getenv("KELVARA_SOUND_LOG") == nullptr) snd_lib_error_set_handler(quietAlsa);

  FluidSynthOptions synth;
  synth.namedSoundFont = namedSoundFont(soundFontOption, std::getenv(kSoundFontVariable));
  synth.soundFonts = findSoundFonts(systemSoundFontFolders());
  synth.audioDrivers = audioDrivers(synth);
  // The window shows while the soundfont loads.
  synth.loadInBackground = true;
  // Only the voices the parts use are held in memory (a full General MIDI
  // set is some 150 MB); a voice's samples load when it is chosen, so its
  // first note sounds at once.
  synth.loadSamplesOnUse = true;

  std::vector<std::unique_ptr<MidiOutput>> outputs;
  outputs.push_back(std::make_unique<FluidSynthOutput>(std::move(synth)));
  outputs.push_back(std::make_unique<PortMidiOutput>(std::make_unique<RtMidiPortService>()));
  return std::make_unique<SystemMidiOutput>(std::move(outputs));
}

}  // namespace kelvara
