#include "editor/side_setting.h"

#include <filesystem>
#include <span>
#include <system_error>

#include "files/atomic_write.h"

namespace kelvara {

std::string sideSettingPath(const std::string& settingsPath, std::string_view suffix) {
  std::filesystem::path path(settingsPath);
  const std::string stem = path.stem().string();
  return path.replace_filename(stem + std::string(suffix) + ".ini").string();
}

SideLine readSideLine(const std::string& path, size_t maxBytes) {
  SideLine result;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return result;
  result.present = true;
  result.error = readWholeFile(path, result.line, maxBytes);
  while (!result.line.empty() && (result.line.back() == '\n' || result.line.back() == '\r')) {
    result.line.pop_back();
  }
  return result;
}

std::string writeSideLine(const std::string& path, std::string_view line) {
  const std::string text = std::string(line) + "\r\n";
  return writeFileAtomically(path,
                             std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace kelvara
