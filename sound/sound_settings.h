#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "score/editor_state.h"
#include "sound/midi_input_choice.h"
#include "sound/midi_output.h"

namespace kelvara {

// The values of the sound dialog, by part index. The volumes are the texts of
// the volume boxes as typed; they become numbers only once all are valid.
struct SoundSettings {
  int device = 0;
  PerPart<int32_t> program{};  // parts 0..8 and 10; the percussion part has no voice list
  PerPart<std::string> volume{};
  PerPart<int32_t> pan{};  // 0..20, 10 = centre
  // The MIDI input ("MIDI入力"): the ports present and the id of the one
  // chosen, empty for none.
  std::vector<MidiPortInfo> inputPorts;
  std::string input;
};

// The order in which the dialog's rows, and so its volume boxes, are shown
// and read: parts 0..8, then "10パート" (part 10), then the percussion part.
constexpr std::array<int, kPartCount> kSoundDialogRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 9};

constexpr int32_t kMaxVolume = 127;
constexpr int32_t kMaxPan = 20;

// The dialog's values from the editor state (and the MIDI input, when there
// is one). A remembered device that the output no longer has shows as
// device 0.
SoundSettings loadSoundSettings(const EditorState& s, MidiOutput& out,
                                MidiInputChoice* input = nullptr);

// The volume in a box: a decimal integer, optionally signed and surrounded by
// blanks; nothing when the text is not such a number.
std::optional<int32_t> parseVolumeText(std::string_view text);

// A volume box the dialog cannot take: its part and what to tell the user.
struct VolumeProblem {
  int part = 0;
  std::string message;
};

// The first volume box, in row order, that is not an integer in 0..127.
std::optional<VolumeProblem> checkVolumes(const SoundSettings& settings);

// The OK of the sound dialog: stores the device, the voices of parts 0..8 and
// 10, the volumes and the pans, then closes the output, opens the device and
// sends the program changes of channels 0..8 and 10; a MIDI input chosen
// anew is opened. When a volume box is bad, nothing is stored, neither the
// output nor the input is touched and the problem is returned.
std::optional<VolumeProblem> applySoundSettings(EditorState& s, MidiOutput& out,
                                                const SoundSettings& settings,
                                                MidiInputChoice* input = nullptr);

}  // namespace kelvara
