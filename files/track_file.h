#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/file_result.h"
#include "score/editor_state.h"

namespace kelvara {

// Track files (".zqf2" several parts, ".zqf" one part): Standard MIDI Files,
// format 1, one track per selected part holding pitches and lengths only.
// A track without notes is 29 bytes long.
constexpr uint32_t kTrackFileFixedBytes = 29;

// Writes one track per part with PartSelected set (a ".zqf" save selects
// exactly one). Rests merge into the next note-on's delta; a part ending in
// rests gets a note-off for key 0 so the track keeps its length. A bar range
// keeps the records that start in fromBar..toBar; toBar below 0 writes whole
// parts.
FileResult savedataplus(const EditorState& s, const std::string& fileName, int32_t fromBar = 0,
                        int32_t toBar = -1);

// Reads a track file. When extension is exactly ".zqf" only the first track
// is read, into intoPart (the part the user chose, 0..10) whatever channel it
// was written for; otherwise each track goes to the part its channel names.
// The file must be laid out as savedataplus writes it; anything else (other
// MIDI files, MIDI exports, damaged files) is refused and changes nothing.
LoadResult loaddataplus(EditorState& s, const std::string& fileName, const std::string& extension,
                        int intoPart = 0);

// The bytes savedataplus writes; fileName only names the file in messages.
FileResult encodeTrackFile(const EditorState& s, int32_t fromBar, int32_t toBar,
                           const std::string& fileName, std::vector<uint8_t>& out);

// What loaddataplus does once the file's bytes are in memory.
LoadResult decodeTrackFile(EditorState& s, std::span<const uint8_t> bytes,
                           const std::string& fileName, bool singleTrack, int intoPart);

}  // namespace kelvara
