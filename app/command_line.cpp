#include "app/command_line.h"

#include <algorithm>
#include <array>

namespace kelvara {

namespace {

bool contains(const std::vector<std::string>& args, std::string_view word) {
  return std::find(args.begin(), args.end(), word) != args.end();
}

}  // namespace

bool asksForHelp(const std::vector<std::string>& args) {
  return contains(args, "--help") || contains(args, "-h");
}

bool asksForVersion(const std::vector<std::string>& args) {
  return contains(args, "--version");
}

EditorArgumentsResult parseEditorArguments(const std::vector<std::string>& args) {
  EditorArgumentsResult result;
  struct ValueOption {
    std::string_view name;
    std::optional<std::string> EditorArguments::*field;
  };
  const std::array<ValueOption, 3> options = {{
      {"--settings", &EditorArguments::settings},
      {"--soundfont", &EditorArguments::soundFont},
      {"--lang", &EditorArguments::language},
  }};

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool taken = false;
    for (const ValueOption& option : options) {
      std::optional<std::string> value;
      if (a == option.name) {
        // An option in the value's place means the value was left out; a file
        // whose name starts with "--" is given as --settings=--name.
        if (i + 1 < args.size() && !args[i + 1].starts_with("--")) value = args[++i];
      } else if (a.size() > option.name.size() && a.starts_with(option.name) &&
                 a[option.name.size()] == '=') {
        value = a.substr(option.name.size() + 1);
      } else {
        continue;
      }
      const bool isLanguage = option.field == &EditorArguments::language;
      if (!value || value->empty()) {
        result.error = std::string(option.name) + " needs a value (" +
                       (isLanguage ? "ja or en" : "a file name") + ")";
        return result;
      }
      if (isLanguage && *value != "ja" && *value != "en") {
        result.error = "--lang takes ja or en, not '" + *value + "'";
        return result;
      }
      result.arguments.*option.field = *value;
      taken = true;
      break;
    }
    if (taken) continue;
    // One score file may be named; anything else that is not an option is
    // a mistake.
    if (!a.starts_with("-") && result.arguments.scoreFile.empty()) {
      result.arguments.scoreFile = a;
      continue;
    }
    result.error = "unknown argument '" + a + "'";
    return result;
  }
  return result;
}

}  // namespace kelvara
