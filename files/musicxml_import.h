#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_result.h"
#include "score/editor_state.h"

namespace kelvara {

// Reads a MusicXML score (".musicxml" or ".xml" text, or a ".mxl" archive,
// told by the extension), partwise or timewise, into the score: the first
// key, time signature and tempo, and every voice's notes, chords, rests,
// ties and tuplets as records of one part. What the score cannot hold is
// left out and counted in the result's notice. A file that is no readable
// MusicXML is refused with the line and column of the fault, and the score
// is then unchanged.
LoadResult loadMusicXml(EditorState& s, const std::string& fileName);

// Reads the text of a MusicXML document (what loadMusicXml does once the
// file is read and unpacked); fileName only names the file in messages.
LoadResult decodeMusicXml(EditorState& s, std::string_view text, const std::string& fileName);

// A run of notes and rests bound for one part of the score.
struct ImportedVoice {
  bool percussion = false;
  int sourcePart = 0;  // the file's part it came from, counted from 0
  int named = -1;      // the part the file's part name names (" 1パート" ..), or -1
};

// The parts the voices go into: a voice whose file part carries the name of
// one of ours takes that part when it is free and of its kind; the others,
// in the file's order, take the free melodic parts in the order users see
// them, or the percussion part. -1 for a voice that finds no free part.
std::vector<int> assignParts(const std::vector<ImportedVoice>& voices);

}  // namespace kelvara
