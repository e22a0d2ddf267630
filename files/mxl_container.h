#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

// The compressed MusicXML file (".mxl"): a zip archive holding "mimetype",
// "META-INF/container.xml" naming the score, and the score itself.

// Packs a MusicXML document as the bytes of an ".mxl" file. Returns an error
// text, empty on success.
std::string packMxl(const std::string& musicXml, std::vector<uint8_t>& out);

// Reads the entry `name` of the zip archive `bytes` into `out`; an entry
// larger than maxBytes once unpacked is refused. Returns an error text,
// empty on success.
std::string readZipEntry(std::span<const uint8_t> bytes, const std::string& name, size_t maxBytes,
                         std::string& out);

// Reads the entry `name` piece by piece into `sink` (what sink throws passes
// on); refused past maxBytes unpacked. Returns an error text, empty on success.
std::string readZipEntryInPieces(std::span<const uint8_t> bytes, const std::string& name,
                                 size_t maxBytes,
                                 const std::function<void(std::string_view)>& sink);

// The names of the archive's entries (at most maxEntries; more is an error).
std::string listZipEntries(std::span<const uint8_t> bytes, size_t maxEntries,
                           std::vector<std::string>& names);

}  // namespace kelvara
