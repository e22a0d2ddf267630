#include "editor/notation_setting.h"

#include <string_view>

#include "editor/side_setting.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {
constexpr size_t kMaxFileBytes = 256;
constexpr std::string_view kOff = "standard=0";
constexpr std::string_view kOn = "standard=1";
}  // namespace

std::string notationSettingPath(const std::string& settingsPath) {
  return sideSettingPath(settingsPath, "-notation");
}

NotationSetting readNotationSetting(const std::string& path) {
  NotationSetting result;
  const SideLine file = readSideLine(path, kMaxFileBytes);
  if (!file.present) return result;
  if (!file.error.empty()) {
    result.notice = fillText(
        uiText("kelvara::Editor", "%1。楽譜は標準的な記譜を使わずに表示します。"), {file.error});
    return result;
  }
  const std::string_view line(file.line);
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
  return writeSideLine(path, standard ? kOn : kOff);
}

}  // namespace kelvara
