#pragma once

#include <string>

namespace kelvara {

// Whether pages are drawn in standard notation is kept in a file of its own
// beside the settings file, so that the settings file keeps its 25 lines.
// The file is one line, "standard=0" or "standard=1".

// The file beside `settingsPath`: "klv.ini" gives "klv-notation.ini".
std::string notationSettingPath(const std::string& settingsPath);

struct NotationSetting {
  bool standard = false;
  std::string notice;  // why the file was not used; empty when it was (or is missing)
};

// Reads the choice. A missing file is the usual drawing, silently; a
// file that is not such a line is the usual drawing, with a notice
// naming the file.
NotationSetting readNotationSetting(const std::string& path);

// Writes the choice atomically. Returns an error text for the user, empty on
// success.
std::string writeNotationSetting(const std::string& path, bool standard);

}  // namespace kelvara
