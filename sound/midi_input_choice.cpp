#include "sound/midi_input_choice.h"
#include "score/ui_text.h"

#include <algorithm>
#include <string_view>

namespace kelvara {

namespace {

// An ALSA port's name without its " client:port" address, which changes
// when devices are plugged in another order or the system starts again.
std::string_view withoutAddress(std::string_view id) {
  const size_t blank = id.rfind(' ');
  if (blank == std::string_view::npos) return id;
  const std::string_view address = id.substr(blank + 1);
  const bool isAddress = address.find(':') != std::string_view::npos &&
                         std::all_of(address.begin(), address.end(),
                                     [](char c) { return c == ':' || (c >= '0' && c <= '9'); });
  return isAddress ? id.substr(0, blank) : id;
}

// The present port meant by `id`: the port itself, else the only port of
// the same name at another address.
const MidiPortInfo* findPort(const std::string& id, const std::vector<MidiPortInfo>& present) {
  for (const MidiPortInfo& p : present) {
    if (p.id == id) return &p;
  }
  const MidiPortInfo* moved = nullptr;
  for (const MidiPortInfo& p : present) {
    if (withoutAddress(p.id) != withoutAddress(id)) continue;
    if (moved != nullptr) return nullptr;  // two alike: which one is not known
    moved = &p;
  }
  return moved;
}

}  // namespace

std::string MidiInputChoice::labelOf(const std::string& id,
                                     const std::vector<MidiPortInfo>& present) const {
  const auto it = std::find_if(present.begin(), present.end(),
                               [&](const MidiPortInfo& p) { return p.id == id; });
  return cutDeviceName(it != present.end() ? it->label : alsaPortLabel(id));
}

bool MidiInputChoice::choose(const std::string& wanted, const std::string& outputLabel) {
  close();
  if (wanted.empty()) return true;
  const std::vector<MidiPortInfo> present = ports();
  const MidiPortInfo* port = findPort(wanted, present);
  const std::string id = port != nullptr ? port->id : wanted;
  const std::string label = labelOf(id, present);
  if (port == nullptr) {
    notices_.postOnce("gone " + id, fillText(uiText("kelvara::Sound",
                                                    "MIDI入力ポート「%1」が見つからないため、"
                                                    "MIDI入力は「なし」にしました。"),
                                             {label}));
    return false;
  }
  if (!outputLabel.empty() && label == outputLabel) {
    notices_.postOnce("loop " + id,
                      fillText(uiText("kelvara::Sound",
                                      "MIDI入力ポート「%1」はMIDI出力にも選ばれているため、"
                                      "入力には使えません（送った音が入力へ戻り続けます）。"
                                      "MIDI入力は「なし」にしました。"),
                               {label}));
    return false;
  }
  std::string error;
  if (!input_.midiInOpen(id, queue_, error)) {
    if (error.empty()) error = uiText("kelvara::Sound", "開けません");
    notices_.postOnce("open " + id, fillText(uiText("kelvara::Sound",
                                                    "MIDI入力ポート「%1」を開けません（%2）。"
                                                    "MIDI入力は「なし」にしました。"),
                                             {label, error}));
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
  // Unplugged and plugged in again between two checks: open it where it is now.
  if (findPort(id, present) != nullptr) {
    choose(id);
    return true;
  }
  notices_.postOnce("gone " + id, fillText(uiText("kelvara::Sound",
                                                  "MIDI入力ポート「%1」が見つからなくなったため、"
                                                  "MIDI入力は「なし」にしました。"),
                                           {labelOf(id, present)}));
  return true;
}

void MidiInputChoice::close() {
  if (chosen_.empty()) return;
  input_.midiInClose();
  chosen_.clear();
  chosenLabel_.clear();
}

}  // namespace kelvara
