#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/file_result.h"
#include "score/editor_state.h"

namespace kelvara {

// The text after the last dot of a path's file name, dot included (empty when
// the name has none); compared exactly, letter case included.
std::string fileExtension(const std::string& path);

// True for the program's own score kinds: ".zqf3", ".zqf2" and ".zqf".
bool isScoreFileKind(const std::string& extension);

// True for Standard MIDI Files from any program: ".mid" and ".smf" in any
// letter case (other programs, and other systems, write ".MID").
bool isMidiFileKind(const std::string& extension);

// True for every kind loadScoreFile reads.
bool isReadableFileKind(const std::string& extension);
// The kinds isReadableFileKind accepts, as a phrase for messages.
constexpr const char* kReadableKinds =
    ".zqf3, .zqf2, .zqf, .mid, .smf, .musicxml, .xml or .mxl file";

// Reads a score file of one of those kinds, told by its extension: a ".zqf3"
// or ".zqf2" as the whole score, a ".zqf" into part `intoPart`, a ".mid" or
// ".smf" through the MIDI importer (any other extension is read as a track
// file).
LoadResult loadScoreFile(EditorState& s, const std::string& path, int intoPart);

// One of the writers' encoders: the bytes of the selected parts and the bars
// fromBar..toBar (all when toBar is below 0); fileName names the file in
// messages only.
using ScoreEncoder = FileResult (*)(const EditorState& s, int32_t fromBar, int32_t toBar,
                                    const std::string& fileName, std::vector<uint8_t>& out);

// Encodes with `encode` and writes the bytes to fileName whole or not at all;
// running out of memory is a failure like any other.
FileResult writeEncoded(ScoreEncoder encode, const EditorState& s, const std::string& fileName,
                        int32_t fromBar, int32_t toBar);

}  // namespace kelvara
