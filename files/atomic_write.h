#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kelvara {

// Writes `bytes` to `path` so that the file is either the old one or the
// complete new one: the data goes to a temporary file in the same folder,
// is flushed to disk and then renamed over the target. On failure the
// temporary file is removed, an existing target is untouched, and the
// returned text says what went wrong (naming the file); empty on success.
std::string writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// Reads a whole file. Returns an error text naming the file, empty on success.
std::string readWholeFile(const std::string& path, std::string& bytes);

}  // namespace kelvara
