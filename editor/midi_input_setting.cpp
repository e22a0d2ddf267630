#include "editor/midi_input_setting.h"

#include <algorithm>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>

#include "files/atomic_write.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

constexpr std::string_view kKey = "input=";

bool isControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

}  // namespace

std::string midiInputSettingPath(const std::string& settingsPath) {
  std::filesystem::path path(settingsPath);
  const std::string stem = path.stem().string();
  return path.replace_filename(stem + "-input.ini").string();
}

MidiInputSetting readMidiInputSetting(const std::string& path) {
  MidiInputSetting result;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return result;
  std::string text;
  if (const std::string error = readWholeFile(path, text, kMaxMidiInputFileBytes); !error.empty()) {
    result.notice =
        fillText(uiText("kelvara::Editor", "%1。MIDI入力は「なし」で起動します。"), {error});
    return result;
  }
  std::string_view line(text);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
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
  const std::string text = std::string(kKey) + (keep ? port : std::string()) + "\r\n";
  return writeFileAtomically(path,
                             std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace kelvara
