#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace kelvara {

// No score file this program writes comes near this size (a score of half a
// million records is 17 MB); a larger file is refused before it is read.
constexpr size_t kMaxScoreFileBytes = size_t{32} << 20;

// Writes `bytes` to `path` so that the file is either the old one or the
// complete new one, and nothing else is left behind. Where the file system
// offers unnamed files the data goes into one that is given its name only
// when complete; elsewhere into a short-named temporary file renamed over the
// target. A symbolic link is written through to the file it names. A new
// file gets the permissions the umask allows, a replaced one keeps its own;
// a file without write permission is refused. A file-size limit
// (ulimit -f) is an error like any other. Returns the error text naming the
// file, empty on success.
std::string writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// Reads a whole regular file of at most maxBytes bytes. Devices, pipes and
// folders are refused without waiting for them. Returns an error text naming
// the file, empty on success.
std::string readWholeFile(const std::string& path, std::string& bytes,
                          size_t maxBytes = kMaxScoreFileBytes);

// Reads the same kind of file piece by piece into `sink`, for readers that
// need not hold the whole file (what sink throws passes on). Returns an error
// text naming the file, empty on success.
std::string readFileInPieces(const std::string& path, size_t maxBytes,
                             const std::function<void(std::string_view)>& sink);

}  // namespace kelvara
