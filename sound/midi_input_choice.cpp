#include "sound/midi_input_choice.h"

#include <algorithm>

namespace kelvara {

std::string MidiInputChoice::labelOf(const std::string& id,
                                     const std::vector<MidiPortInfo>& present) const {
  const auto it = std::find_if(present.begin(), present.end(),
                               [&](const MidiPortInfo& p) { return p.id == id; });
  return cutDeviceName(it != present.end() ? it->label : alsaPortLabel(id));
}

bool MidiInputChoice::choose(const std::string& id, const std::string& outputLabel) {
  close();
  if (id.empty()) return true;
  const std::vector<MidiPortInfo> present = ports();
  const std::string label = labelOf(id, present);
  const bool there = std::any_of(present.begin(), present.end(),
                                 [&](const MidiPortInfo& p) { return p.id == id; });
  if (!there) {
    notices_.postOnce("gone " + id, "MIDI入力ポート「" + label +
                                        "」が見つからないため、MIDI入力は「なし」にしました。");
    return false;
  }
  if (!outputLabel.empty() && label == outputLabel) {
    notices_.postOnce("loop " + id,
                      "MIDI入力ポート「" + label +
                          "」はMIDI出力にも選ばれているため、入力には使えません"
                          "（送った音が入力へ戻り続けます）。MIDI入力は「なし」にしました。");
    return false;
  }
  std::string error;
  if (!input_.midiInOpen(id, queue_, error)) {
    if (error.empty()) error = "開けません";
    notices_.postOnce("open " + id, "MIDI入力ポート「" + label + "」を開けません（" + error +
                                        "）。MIDI入力は「なし」にしました。");
    return false;
  }
  chosen_ = id;
  chosenLabel_ = label;
  return true;
}

bool MidiInputChoice::checkStillPresent() {
  if (chosen_.empty()) return false;
  const std::vector<MidiPortInfo> present = ports();
  if (std::any_of(present.begin(), present.end(),
                  [&](const MidiPortInfo& p) { return p.id == chosen_; })) {
    return false;
  }
  const std::string id = chosen_;
  close();
  notices_.postOnce("gone " + id, "MIDI入力ポート「" + labelOf(id, present) +
                                      "」が見つからなくなったため、MIDI入力は「なし」にしました。");
  return true;
}

void MidiInputChoice::close() {
  if (chosen_.empty()) return;
  input_.midiInClose();
  chosen_.clear();
  chosenLabel_.clear();
}

}  // namespace kelvara
