#include "input/midi_key_input.h"

#include "input/drum_names.h"
#include "render/page_renderer.h"
#include "sound/midi_key_sound.h"

namespace kelvara {

namespace {

constexpr int32_t kFirstDrumKey = 35;  // the pad's drum keys, 35 .. 81
constexpr int32_t kLastDrumKey = kFirstDrumKey + static_cast<int32_t>(kDrumNames.size()) - 1;

}  // namespace

bool MidiKeyInput::accepts(int32_t key) const {
  if (s_.WorkPart == kPercussionPart) return key >= kFirstDrumKey && key <= kLastDrumKey;
  return staffHoldsPitch(key);
}

void MidiKeyInput::receive(std::span<const ShortMessage> messages, bool enter) {
  if (s_.Busy) enter = false;
  if (enter) s_.Busy = 1;
  for (const ShortMessage& m : messages) {
    bool& held = held_[m.channel()][m.data1];
    if (m.isNoteOn()) {
      if (!enter) continue;
      if (!held) ++heldCount_;
      held = true;
      enterNote(m.data1, m.data2);
    } else if (m.isNoteOff()) {
      if (!held) continue;  // pressed while a dialog was open
      held = false;
      --heldCount_;
      closeChordWhenDone(enter);
    } else if (isSustainPedal(m)) {
      pedal_ = sustainPedalDown(m);
      closeChordWhenDone(enter);
    }
  }
  if (enter) s_.Busy = 0;
}

void MidiKeyInput::enterNote(int32_t key, int32_t velocity) {
  // Refused keys have sounded; they leave the score as it is.
  if (!accepts(key)) return;
  score_.selection().drop();
  const bool chord = s_.SingleInput == 0 || pedal_;
  // A key that starts a chord, or any key in single-note input, begins a
  // record of its own: what the cursor holds open is closed and passed.
  if (!(chord && joining_)) score_.rightshift();
  const uint8_t single = s_.SingleInput;
  if (chord) s_.SingleInput = 0;  // the pedal builds a chord in single-note input too
  score_.InsertOnpu(key, s_.InputUnit, velocity);
  s_.SingleInput = single;
  score_.refreshAfterInput();
  joining_ = chord;
  // Each hit on the percussion part is finished at once, as on the pad.
  if (!chord && s_.WorkPart == kPercussionPart) score_.rightshift();
}

void MidiKeyInput::closeChordWhenDone(bool enter) {
  if (!joining_ || heldCount_ > 0 || pedal_) return;
  joining_ = false;
  // While a dialog is open the chord stays open; the next key closes it.
  if (enter) score_.rightshift();
}

void MidiKeyInput::reset() {
  held_ = {};
  heldCount_ = 0;
  pedal_ = false;
  joining_ = false;
}

}  // namespace kelvara
