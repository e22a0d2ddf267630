#include "editor/midi_input_setting.h"

#include <algorithm>
#include <string_view>

#include "editor/side_setting.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

constexpr std::string_view kKey = "input=";

bool isControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

}  // namespace

std::string midiInputSettingPath(const std::string& settingsPath) {
  return sideSettingPath(settingsPath, "-input");
}

MidiInputSetting readMidiInputSetting(const std::string& path) {
  MidiInputSetting result;
  const SideLine file = readSideLine(path, kMaxMidiInputFileBytes);
  if (!file.present) return result;
  if (!file.error.empty()) {
    result.notice =
        fillText(uiText("kelvara::Editor", "%1。MIDI入力は「なし」で起動します。"), {file.error});
    return result;
  }
  const std::string_view line(file.line);
  const bool readable = line.empty() || (line.substr(0, kKey.size()) == kKey &&
                                         line.size() - kKey.size() <= kMaxMidiPortIdBytes &&
                                         std::none_of(line.begin(), line.end(), isControl));
  if (!readable) {
    result.notice = fillText(
        uiText("kelvara::Editor",
               "MIDI入力の設定ファイル %1 を読めないため、MIDI入力は「なし」で起動します。"),
        {path});
    return result;
  }
  if (!line.empty()) result.port = std::string(line.substr(kKey.size()));
  return result;
}

std::string writeMidiInputSetting(const std::string& path, const std::string& port) {
  // An id the reader would refuse is not kept: the choice is then none.
  const bool keep =
      port.size() <= kMaxMidiPortIdBytes && std::none_of(port.begin(), port.end(), isControl);
  return writeSideLine(path, std::string(kKey) + (keep ? port : std::string()));
}

}  // namespace kelvara
