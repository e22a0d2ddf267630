#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "files/file_result.h"
#include "files/import_report.h"
#include "files/score_builder.h"
#include "score/editor_state.h"

namespace kelvara {

// Standard MIDI Files from any program (".mid", ".smf"): format 0 or 1, any
// resolution (SMPTE timing counts as tempo 120), running status, note-on
// with velocity 0 as note-off. Channel 10 is the percussion part; every
// other track and channel is a voice. The first tempo, time and key
// signature, program, volume and pan are kept; meta and SysEx events are
// skipped; pitch bends and other controllers are left out and counted.
// Throws ReadFault on bytes that are no Standard MIDI File.
SourceScore readStandardMidi(std::span<const uint8_t> bytes, ImportReport& report);

// Imports the file's bytes into the score: read completely first, so a file
// that cannot be imported changes nothing. The result's notice lists what
// was approximated. fileName only names the file in messages.
LoadResult decodeMidiImport(EditorState& s, std::span<const uint8_t> bytes,
                            const std::string& fileName);

// Reads the file (within the score file size limit) and imports it.
LoadResult importMidiFile(EditorState& s, const std::string& fileName);

}  // namespace kelvara
