#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

// The version the program reports; the window caption carries it too.
constexpr std::string_view kVersion = "1.1b4";

// What the command line asks of the editor window.
struct EditorArguments {
  std::optional<std::string> settings;   // --settings FILE
  std::optional<std::string> soundFont;  // --soundfont FILE
  std::optional<std::string> language;   // --lang ja|en
  std::string scoreFile;                 // a score to open at start ("" none)
};

// The editor's arguments read, or the one line that says what is wrong with
// them (an unknown argument, an option without its value).
struct EditorArgumentsResult {
  EditorArguments arguments;
  std::string error;
};

// Reads the arguments of the editor window (the line holds no command word).
// Options take their value as the next argument or after "="; --lang takes
// "ja" or "en".
EditorArgumentsResult parseEditorArguments(const std::vector<std::string>& args);

// "--help" (or "-h") or "--version" stands somewhere on the line.
bool asksForHelp(const std::vector<std::string>& args);
bool asksForVersion(const std::vector<std::string>& args);

// The hint printed after a bad command line.
constexpr std::string_view kHelpHint = "Try 'kelvara --help' for more information.";

}  // namespace kelvara
