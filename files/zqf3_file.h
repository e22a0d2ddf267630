#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/file_result.h"
#include "score/editor_state.h"

namespace kelvara {

// The whole-score file (".zqf3"): a 7-byte header (key, minor flag, time
// signature, tempo, part count), then per selected part its index, program,
// volume and pan and one 34-byte record per note or rest, closed by the end
// marker's record. Little-endian throughout.
constexpr size_t kZqf3HeaderSize = 7;
constexpr size_t kZqf3PartHeaderSize = 4;
constexpr size_t kZqf3RecordSize = 34;

// Writes every part with PartSelected set. A bar range (fromBar..toBar,
// numbered from 1) keeps only the records that start in it; toBar below 0
// writes whole parts. Refuses, writing nothing, when a value does not fit
// its field (the file would read back different).
FileResult savedataplus2(const EditorState& s, const std::string& fileName, int32_t fromBar = 0,
                         int32_t toBar = -1);

// Reads a ".zqf3" file: the score settings, and each part block's settings
// and records, inserted after that part's start marker. The whole file is
// read and checked before the score changes.
LoadResult loaddataplus2(EditorState& s, const std::string& fileName);

// The bytes savedataplus2 writes; fileName only names the file in messages.
FileResult encodeZqf3(const EditorState& s, int32_t fromBar, int32_t toBar,
                      const std::string& fileName, std::vector<uint8_t>& out);

// Reads the bytes of a ".zqf3" file into the score (what loaddataplus2 does
// after reading the file).
LoadResult decodeZqf3(EditorState& s, std::span<const uint8_t> bytes, const std::string& fileName);

}  // namespace kelvara
