#pragma once

#include <string>

#include "files/file_result.h"
#include "score/editor_state.h"

namespace kelvara {

// True for the MusicXML kinds: ".musicxml" and ".xml" (plain text) and ".mxl"
// (compressed).
bool isMusicXmlKind(const std::string& extension);

// Writes the selected parts that hold records as a MusicXML 4.0 partwise
// score: one part per score part on a grand staff, the notes spelled and
// split as the editor draws them. The kind follows the name's extension: a
// ".mxl" name gets the compressed container. Written whole or not at all; a
// score that would need more than 1.5 million note elements (more than the
// reader takes back) is refused.
FileResult saveMusicXml(const EditorState& s, const std::string& fileName);

// The MusicXML document saveMusicXml writes, as UTF-8 text; `title` names the
// work (the file's name without folder and extension). Throws
// std::length_error for a score that saveMusicXml refuses.
std::string encodeMusicXml(const EditorState& s, const std::string& title);

}  // namespace kelvara
