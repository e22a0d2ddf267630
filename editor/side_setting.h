#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvara {

// Settings kept in one-line files of their own beside the settings file, so
// that the settings file keeps its 25 lines.

// The file beside `settingsPath` with `suffix` added to its name:
// "klv.ini" and "-input" give "klv-input.ini".
std::string sideSettingPath(const std::string& settingsPath, std::string_view suffix);

// What a side file holds.
struct SideLine {
  bool present = false;  // the file exists
  std::string line;      // its text without the line ends at its end
  std::string error;     // why it could not be read (more than maxBytes, say)
};

// Reads a side file of at most `maxBytes` bytes.
SideLine readSideLine(const std::string& path, size_t maxBytes);

// Writes `line` and a line end atomically. Returns an error text for the
// user, empty on success.
std::string writeSideLine(const std::string& path, std::string_view line);

}  // namespace kelvara
