#include "editor/settings_file.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/atomic_write.h"
#include "score/editor_state.h"
#include "score/ui_text.h"
#include "score/whole_number.h"

namespace kelvara {

namespace {

constexpr char kEndOfText = 0x1A;  // Ctrl-Z

bool isSeparator(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// The numbers of the text, up to a Ctrl-Z; tokens that are not integers are
// kept as empty optionals so that later values keep their positions.
struct Token {
  bool valid;
  int32_t value;
};

std::vector<Token> tokenize(const std::string& text) {
  std::vector<Token> tokens;
  size_t i = 0;
  const size_t end =
      text.find(kEndOfText) == std::string::npos ? text.size() : text.find(kEndOfText);
  while (i < end) {
    while (i < end && isSeparator(text[i])) ++i;
    if (i >= end) break;
    const size_t start = i;
    while (i < end && !isSeparator(text[i])) ++i;
    const std::optional<int32_t> value =
        parseWholeNumber(std::string_view(text).substr(start, i - start));
    const Token t{value.has_value(), value.value_or(0)};
    tokens.push_back(t);
  }
  return tokens;
}

}  // namespace

SettingsReadResult parseSettings(const std::string& text, int deviceCount) {
  SettingsReadResult result;
  result.fileFound = true;
  const std::vector<Token> tokens = tokenize(text);
  bool unreadable = tokens.size() > kSettingsValues;

  // Each field: the value when it was read and is in range, else its default.
  size_t next = 0;
  auto take = [&](int32_t& field, int32_t low, int32_t high) {
    const size_t index = next++;
    if (index >= tokens.size()) return;  // missing at the end: the default
    if (!tokens[index].valid) {
      unreadable = true;
      return;
    }
    const int32_t v = tokens[index].value;
    if (v >= low && v <= high) field = v;
  };

  Settings& s = result.values;
  take(s.MidiDevice, 0, deviceCount > 0 ? deviceCount - 1 : 0);
  for (int32_t& program : s.Programs) take(program, 0, 127);
  take(s.BlinkCursor, 0, 1);
  take(s.UpDownAction, 0, 1);
  for (int32_t& pad : s.PadChoice) take(pad, -1, kPadItems - 1);

  if (unreadable) {
    result.notice =
        uiText("kelvara::Editor",
               "設定ファイルの内容に読めない値があったため、その値は既定値にしました。");
  }
  return result;
}

SettingsReadResult readSettingsFile(const std::string& path, int deviceCount, bool explicitPath) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    SettingsReadResult result;
    if (explicitPath) {
      result.notice = fillText(
          uiText("kelvara::Editor", "設定ファイル %1 が見つからないため、既定の設定で起動します。"),
          {path});
    }
    return result;
  }
  std::string text;
  const std::string error = readWholeFile(path, text, kMaxSettingsFileBytes);
  if (!error.empty()) {
    SettingsReadResult result;
    result.notice = fillText(uiText("kelvara::Editor", "%1。既定の設定で起動します。"), {error});
    return result;
  }
  SettingsReadResult result = parseSettings(text, deviceCount);
  if (!result.notice.empty())
    result.notice =
        fillText(uiText("kelvara::Editor", "設定ファイル %1: %2"), {path, result.notice});
  return result;
}

std::string settingsFileToRead(const std::string& path, const std::string& earlierPath) {
  std::error_code ec;
  if (earlierPath.empty() || std::filesystem::exists(path, ec)) return path;
  return std::filesystem::is_regular_file(earlierPath, ec) ? earlierPath : path;
}

std::string formatSettings(const Settings& settings) {
  std::string out;
  auto line = [&out](int32_t v) { out += std::to_string(v) + "\r\n"; };
  line(settings.MidiDevice);
  for (int32_t program : settings.Programs) line(program);
  line(settings.BlinkCursor);
  line(settings.UpDownAction);
  for (int32_t pad : settings.PadChoice) line(pad);
  return out;
}

std::string writeSettingsFile(const std::string& path, const Settings& settings) {
  namespace fs = std::filesystem;
  // The folders that are missing, outermost first; those made here are taken
  // away again when the file cannot be written, so a failure leaves nothing.
  std::vector<fs::path> missing;
  std::error_code ec;
  fs::path folder = fs::path(path).parent_path();
  for (; !folder.empty() && !fs::exists(folder, ec); folder = folder.parent_path()) {
    missing.insert(missing.begin(), folder);
    if (folder == folder.parent_path()) break;
  }
  if (!folder.empty() && fs::exists(folder, ec) && !fs::is_directory(folder, ec)) {
    return fillText(
        uiText("kelvara::Editor", "ファイル %1 を作成できません（%2 はフォルダではありません）"),
        {path, folder.string()});
  }
  std::vector<fs::path> made;
  auto undo = [&made] {
    std::error_code ignored;
    for (auto it = made.rbegin(); it != made.rend(); ++it) fs::remove(*it, ignored);
  };
  for (const fs::path& missingFolder : missing) {
    if (!fs::create_directory(missingFolder, ec) && ec) {
      undo();
      return fillText(
          uiText("kelvara::Editor", "ファイル %1 を作成できません（フォルダ %2 を作れません: %3）"),
          {path, missingFolder.string(), ec.message()});
    }
    made.push_back(missingFolder);
  }
  const std::string text = formatSettings(settings);
  std::string error = writeFileAtomically(
      path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  if (!error.empty()) undo();
  return error;
}

void applySettings(const Settings& settings, EditorState& state) {
  state.MidiDevice = settings.MidiDevice;
  for (int p = 0; p < 9; ++p) state.PartProgram[p] = settings.Programs[p];
  state.PartProgram[10] = settings.Programs[9];
  state.PartProgram[kPercussionPart] = 0;
  state.BlinkCursor = settings.BlinkCursor;
  state.UpDownAction = settings.UpDownAction;
  state.PadChoice = settings.PadChoice;
}

Settings settingsFromState(const EditorState& state) {
  Settings s;
  s.MidiDevice = state.MidiDevice;
  for (int p = 0; p < 9; ++p) s.Programs[p] = state.PartProgram[p];
  s.Programs[9] = state.PartProgram[10];
  s.BlinkCursor = state.BlinkCursor;
  s.UpDownAction = state.UpDownAction;
  s.PadChoice = state.PadChoice;
  return s;
}

}  // namespace kelvara
