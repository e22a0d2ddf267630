#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvara {

struct EditorState;

// The values kept in the settings file "klv.ini": 25 decimal integers, one
// per line, in this order.
struct Settings {
  int32_t MidiDevice = 0;
  // Programs of parts 0..8 and then part 10; the percussion part is not stored.
  std::array<int32_t, 10> Programs{};
  int32_t BlinkCursor = 1;
  int32_t UpDownAction = 1;
  // Selected item of each percussion pad list (-1: none).
  std::array<int32_t, 12> PadChoice{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
};

constexpr int kSettingsValues = 25;
constexpr int32_t kPadItems = 47;  // drum keys 35..81
// A settings file is about 100 bytes; anything much larger is not one.
constexpr size_t kMaxSettingsFileBytes = 64 * 1024;

struct SettingsReadResult {
  Settings values;
  // Empty when the file was read as it is; otherwise one plain sentence for
  // the user naming the file and why its values were not (all) used.
  std::string notice;
  bool fileFound = false;
};

// Parses the text of a settings file. Numbers are separated by blanks, tabs
// or line breaks; a Ctrl-Z ends the text. A number that cannot be read, or
// is out of range, takes its default; numbers missing at the end too.
// `deviceCount` is the number of MIDI output devices present.
SettingsReadResult parseSettings(const std::string& text, int deviceCount);

// Reads the settings file. A missing file gives the defaults; the notice says
// so only when `explicitPath` (the user named the file).
SettingsReadResult readSettingsFile(const std::string& path, int deviceCount, bool explicitPath);

// The file start-up reads: `path`, or `earlierPath` when only that one exists.
std::string settingsFileToRead(const std::string& path, const std::string& earlierPath);

// The 25 lines, each ended by CR LF.
std::string formatSettings(const Settings& settings);

// Writes the file atomically. Returns an error text for the user, empty on success.
std::string writeSettingsFile(const std::string& path, const Settings& settings);

// Moves the values between the file's record and the editor state.
void applySettings(const Settings& settings, EditorState& state);
Settings settingsFromState(const EditorState& state);

// Where the settings file lives: the command-line value when given, else the
// KELVARA_SETTINGS environment variable, else "kelvara/klv.ini" in the user's
// config folder. `explicitPath` tells whether the user named it.
// `earlierPath` is where earlier versions kept the file by default
// ("kelvara/kelvara/klv.ini"): read once, while the file at `path` does not
// exist yet; the settings are then written to `path`.
struct SettingsLocation {
  std::string path;
  bool explicitPath = false;
  std::string earlierPath;
};
SettingsLocation resolveSettingsLocation(const std::string& commandLineValue);

}  // namespace kelvara
