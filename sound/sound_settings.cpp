#include "sound/sound_settings.h"

#include <algorithm>

#include "score/ui_text.h"
#include "sound/part_voices.h"

namespace kelvara {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

SoundSettings loadSoundSettings(const EditorState& s, MidiOutput& out, MidiInputChoice* input) {
  SoundSettings settings;
  if (input != nullptr) {
    settings.inputPorts = input->ports();
    settings.input = input->chosen();
  }
  settings.device = usableMidiDevice(out, s.MidiDevice);
  for (int part = 0; part < kPartCount; ++part) {
    settings.program[part] = s.PartProgram[part];
    settings.volume[part] = std::to_string(s.PartVolume[part]);
    settings.pan[part] = s.PartPan[part];
  }
  return settings;
}

std::optional<int32_t> parseVolumeText(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return std::nullopt;  // too long to be a number at all
  }
  return static_cast<int32_t>(negative ? -value : value);
}

std::optional<VolumeProblem> checkVolumes(const SoundSettings& settings) {
  for (int part : kSoundDialogRows) {
    const std::string& text = settings.volume[part];
    // The message names the row: "3パートの音量 '200' ...".
    const std::optional<int32_t> volume = parseVolumeText(text);
    if (!volume) {
      return VolumeProblem{part,
                           fillText(uiText("kelvara::Sound", "%1の音量 '%2' は整数ではありません"),
                                    {partText(part), text})};
    }
    if (*volume < 0 || *volume > kMaxVolume) {
      return VolumeProblem{
          part, fillText(uiText("kelvara::Sound", "%1の音量 '%2' は 0〜127 の範囲外です"),
                         {partText(part), text})};
    }
  }
  return std::nullopt;
}

std::optional<VolumeProblem> applySoundSettings(EditorState& s, MidiOutput& out,
                                                const SoundSettings& settings,
                                                MidiInputChoice* input) {
  if (std::optional<VolumeProblem> problem = checkVolumes(settings)) return problem;

  s.MidiDevice = usableMidiDevice(out, settings.device);
  for (int part = 0; part < kPartCount; ++part) {
    if (part != kPercussionPart) s.PartProgram[part] = settings.program[part];
    s.PartVolume[part] = *parseVolumeText(settings.volume[part]);
    s.PartPan[part] = std::clamp(settings.pan[part], 0, kMaxPan);
  }
  reopenMidiOutput(out, s.MidiDevice, s.PartProgram, ProgramChanges::MelodicChannels);
  if (input != nullptr) {
    // Chosen anew, or the port the output now opens too: chosen again, so
    // that a port is never both.
    const std::string outputLabel = out.midiOutGetDevCaps(s.MidiDevice);
    if (settings.input != input->chosen() ||
        (!settings.input.empty() && input->chosenLabel() == outputLabel)) {
      input->choose(settings.input, outputLabel);
    }
  }
  return std::nullopt;
}

}  // namespace kelvara
