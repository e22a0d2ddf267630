#include "editor/notation_setting.h"

#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>

#include "files/atomic_write.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {
constexpr size_t kMaxFileBytes = 256;
constexpr std::string_view kOff = "standard=0";
constexpr std::string_view kOn = "standard=1";
}  // namespace

std::string notationSettingPath(const std::string& settingsPath) {
  std::filesystem::path path(settingsPath);
  const std::string stem = path.stem().string();
  return path.replace_filename(stem + "-notation.ini").string();
}

NotationSetting readNotationSetting(const std::string& path) {
  NotationSetting result;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return result;
  std::string text;
  if (const std::string error = readWholeFile(path, text, kMaxFileBytes); !error.empty()) {
    result.notice = fillText(
        uiText("kelvara::Editor", "%1。楽譜は標準的な記譜を使わずに表示します。"), {error});
    return result;
  }
  std::string_view line(text);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line == kOn) {
    result.standard = true;
  } else if (line != kOff) {
    result.notice = fillText(
        uiText("kelvara::Editor",
               "記譜の設定ファイル %1 を読めないため、楽譜は標準的な記譜を使わずに表示します。"),
        {path});
  }
  return result;
}

std::string writeNotationSetting(const std::string& path, bool standard) {
  const std::string text = std::string(standard ? kOn : kOff) + "\r\n";
  return writeFileAtomically(path,
                             std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace kelvara
