#pragma once

#include <cstdint>
#include <string>

#include "files/file_result.h"
#include "score/editor_state.h"

namespace kelvara {

// The audio export: the parts with PartSelected set, and the records that
// start in bars fromBar..toBar (every bar when toBar is below 0), written
// with the MIDI export and rendered by the built-in synthesizer offline into
// a 16-bit stereo WAV file at 44 100 Hz. No audio device is needed. The
// soundfont is `soundFont` when given, else KELVARA_SOUNDFONT, else the one
// installed. The file appears whole or not at all; an existing file of that
// name is left as it was on failure.
FileResult exportWav(const EditorState& s, int32_t fromBar, int32_t toBar,
                     const std::string& output, const std::string& soundFont);

}  // namespace kelvara
