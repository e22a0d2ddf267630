#include "input/midi_key_input.h"

#include "input/drum_names.h"
#include "render/page_renderer.h"
#include "sound/part_voices.h"

namespace kelvara {

namespace {

constexpr uint8_t kSustainPedal = 64;
constexpr uint8_t kPedalDownFrom = 64;  // controller values 64..127 are down
constexpr int32_t kFirstDrumKey = 35;   // the pad's drum keys, 35 .. 81
constexpr int32_t kLastDrumKey = kFirstDrumKey + static_cast<int32_t>(kDrumNames.size()) - 1;

bool isPedal(const ShortMessage& m) {
  return m.kind() == 0xB0 && m.data1 == kSustainPedal;
}

}  // namespace

bool MidiKeyInput::accepts(int32_t key) const {
  if (s_.WorkPart == kPercussionPart) return key >= kFirstDrumKey && key <= kLastDrumKey;
  return staffHoldsPitch(key);
}

void MidiKeyInput::receive(std::span<const ShortMessage> messages, bool enter) {
  // The sounds go first: a chord's later notes do not wait for the earlier
  // ones to be entered and drawn.
  for (const ShortMessage& m : messages) sound(m, enter);
  if (s_.Busy) enter = false;
  if (enter) s_.Busy = 1;
  for (const ShortMessage& m : messages) enterMessage(m, enter);
  if (enter) s_.Busy = 0;
}

void MidiKeyInput::sound(const ShortMessage& m, bool enter) {
  if (m.isNoteOn()) {
    if (!enter) return;
    Key& k = key(m);
    soundOff(k, m.data1);  // the same key again, still sounding under the pedal
    midi_.midiOutShortMsg(noteOnMessage(s_.WorkPart, m.data1, m.data2));
    k.soundChannel = static_cast<int8_t>(s_.WorkPart);
    k.heldForSound = true;
  } else if (m.isNoteOff()) {
    Key& k = key(m);
    k.heldForSound = false;
    if (!pedalForSound_) soundOff(k, m.data1);
  } else if (isPedal(m)) {
    pedalForSound_ = m.data2 >= kPedalDownFrom;
    if (pedalForSound_) return;
    // Keys let go while the pedal was down sound until it comes up.
    for (auto& channel : keys_) {
      for (size_t note = 0; note < channel.size(); ++note) {
        if (!channel[note].heldForSound) soundOff(channel[note], static_cast<int>(note));
      }
    }
  }
}

void MidiKeyInput::soundOff(Key& k, int key) {
  if (k.soundChannel < 0) return;
  midi_.midiOutShortMsg(noteOnMessage(k.soundChannel, key, 0));
  k.soundChannel = -1;
}

void MidiKeyInput::enterMessage(const ShortMessage& m, bool enter) {
  if (m.isNoteOn()) {
    if (!enter) return;
    Key& k = key(m);
    if (!k.heldForEntry) ++heldForEntry_;
    k.heldForEntry = true;
    enterNote(m.data1, m.data2);
  } else if (m.isNoteOff()) {
    Key& k = key(m);
    if (!k.heldForEntry) return;  // pressed while a dialog was open
    k.heldForEntry = false;
    --heldForEntry_;
    closeChordWhenDone(enter);
  } else if (isPedal(m)) {
    pedalForEntry_ = m.data2 >= kPedalDownFrom;
    closeChordWhenDone(enter);
  }
}

void MidiKeyInput::enterNote(int32_t key, int32_t velocity) {
  // Refused keys have sounded; they leave the score as it is.
  if (!accepts(key)) return;
  score_.selection().drop();
  const bool chord = s_.SingleInput == 0 || pedalForEntry_;
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
  if (!joining_ || heldForEntry_ > 0 || pedalForEntry_) return;
  joining_ = false;
  // While a dialog is open the chord stays open; the next key closes it.
  if (enter) score_.rightshift();
}

void MidiKeyInput::reset() {
  for (auto& channel : keys_) {
    for (size_t note = 0; note < channel.size(); ++note) {
      soundOff(channel[note], static_cast<int>(note));
      channel[note] = Key{};
    }
  }
  heldForEntry_ = 0;
  pedalForSound_ = false;
  pedalForEntry_ = false;
  joining_ = false;
}

}  // namespace kelvara
