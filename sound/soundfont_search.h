#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

// The command-line option and the environment variable that name the
// soundfont of the built-in synthesizer.
constexpr std::string_view kSoundFontOption = "--soundfont";
constexpr const char* kSoundFontVariable = "KELVARA_SOUNDFONT";

// Removes "--soundfont FILE" or "--soundfont=FILE" from the arguments and
// returns FILE; nothing when the option is absent. The last one given wins.
std::optional<std::string> takeSoundFontArgument(std::vector<std::string>& args);

// The soundfont the user named: the command-line option wins over the
// environment variable (either may be absent or empty).
std::string namedSoundFont(const std::optional<std::string>& option, const char* environment);

// Where General MIDI soundfonts are installed.
const std::vector<std::string>& systemSoundFontFolders();

// The soundfont files found in `folders`, best first: the full General MIDI
// sets (FluidR3_GM.sf2, then the small TimGM6mb.sf2, then the system default),
// then any other .sf2 or .sf3 file in name order. Each file appears once.
std::vector<std::string> findSoundFonts(const std::vector<std::string>& folders);

}  // namespace kelvara
