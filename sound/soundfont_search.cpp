#include "sound/soundfont_search.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace kelvara {

namespace fs = std::filesystem;

std::optional<std::string> takeSoundFontArgument(std::vector<std::string>& args) {
  std::optional<std::string> found;
  const std::string prefix = std::string(kSoundFontOption) + "=";
  for (size_t i = 0; i < args.size();) {
    if (args[i] == kSoundFontOption) {
      const bool hasValue = i + 1 < args.size();
      found = hasValue ? args[i + 1] : std::string();
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                 args.begin() + static_cast<std::ptrdiff_t>(i + (hasValue ? 2 : 1)));
    } else if (args[i].rfind(prefix, 0) == 0) {
      found = args[i].substr(prefix.size());
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  return found;
}

std::string namedSoundFont(const std::optional<std::string>& option, const char* environment) {
  if (option && !option->empty()) return *option;
  return environment != nullptr ? std::string(environment) : std::string();
}

const std::vector<std::string>& systemSoundFontFolders() {
  static const std::vector<std::string> folders = {"/usr/share/sounds/sf2", "/usr/share/sounds/sf3",
                                                   "/usr/share/soundfonts"};
  return folders;
}

std::vector<std::string> findSoundFonts(const std::vector<std::string>& folders) {
  static const char* const preferred[] = {"FluidR3_GM.sf2", "FluidR3_GM.sf3", "TimGM6mb.sf2",
                                          "default-GM.sf2", "default-GM.sf3", "default.sf2"};
  std::vector<std::string> found;
  std::set<fs::path> seen;  // by target, so a link to a file already listed is skipped
  const auto add = [&](const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return;
    const fs::path target = fs::weakly_canonical(file, ec);
    if (seen.insert(ec ? file : target).second) found.push_back(file.string());
  };

  for (const char* name : preferred) {
    for (const std::string& folder : folders) add(fs::path(folder) / name);
  }
  for (const std::string& folder : folders) {
    std::error_code ec;
    std::vector<fs::path> others;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string ext = it->path().extension().string();
      if (ext == ".sf2" || ext == ".sf3" || ext == ".SF2" || ext == ".SF3")
        others.push_back(it->path());
    }
    std::sort(others.begin(), others.end());
    for (const fs::path& file : others) add(file);
  }
  return found;
}

}  // namespace kelvara
