#pragma once

#include <cstddef>
#include <string>

namespace kelvara {

// The MIDI input chosen in the sound dialog is kept in a file of its own
// beside the settings file, so that the settings file keeps its 25 lines.
// The file is one line, "input=" and the port's id; no line, or an empty id,
// means none.
constexpr size_t kMaxMidiInputFileBytes = 4096;
constexpr size_t kMaxMidiPortIdBytes = 256;

// The file beside `settingsPath`: "klv.ini" gives "klv-input.ini".
std::string midiInputSettingPath(const std::string& settingsPath);

struct MidiInputSetting {
  std::string port;    // the id of the chosen port; empty for none
  std::string notice;  // why the file was not used; empty when it was (or is missing)
};

// Reads the chosen port. A missing file is none, silently; a file that is
// not such a line is none, with a notice naming the file.
MidiInputSetting readMidiInputSetting(const std::string& path);

// Writes the chosen port (empty: none) atomically. Returns an error text for
// the user, empty on success.
std::string writeMidiInputSetting(const std::string& path, const std::string& port);

}  // namespace kelvara
