#pragma once

#include <memory>
#include <optional>
#include <string>

#include "sound/midi_output.h"

namespace kelvara {

// The environment variable naming the audio drivers the built-in synthesizer
// tries, comma-separated in order (for example "jack" or "alsa,pulseaudio").
constexpr const char* kAudioDriverVariable = "KELVARA_AUDIO_DRIVER";

// The output the editor plays through: device 0 is the built-in synthesizer,
// devices 1.. are the ALSA sequencer's output ports. The synthesizer's
// soundfont is the one named by the command-line option (`soundFontOption`,
// from takeSoundFontArgument) or else by KELVARA_SOUNDFONT, or else the best
// one installed; it starts loading here, once, on a thread of its own (see
// FluidSynthOptions::loadInBackground). Nothing is opened yet.
std::unique_ptr<MidiOutput> createSystemMidiOutput(
    const std::optional<std::string>& soundFontOption);

}  // namespace kelvara
