#include "sound/midi_key_sound.h"

#include "sound/part_voices.h"

namespace kelvara {

void MidiKeySound::follow(int channel, bool enabled) {
  const std::lock_guard lock(mutex_);
  channel_ = channel;
  enabled_ = enabled;
}

void MidiKeySound::play(const ShortMessage& m) {
  const std::lock_guard lock(mutex_);
  if (m.isNoteOn()) {
    if (!enabled_) return;
    end(m.channel(), m.data1);  // the same key again, still sounding under the pedal
    out_.midiOutShortMsg(noteOnMessage(channel_, m.data1, m.data2));
    keys_[m.channel()][m.data1] = {static_cast<int8_t>(channel_), true};
  } else if (m.isNoteOff()) {
    keys_[m.channel()][m.data1].held = false;
    if (!pedal_) end(m.channel(), m.data1);
  } else if (isSustainPedal(m)) {
    pedal_ = sustainPedalDown(m);
    if (pedal_) return;
    // Keys let go while the pedal was down sound until it comes up.
    for (int channel = 0; channel < 16; ++channel) {
      for (int key = 0; key < 128; ++key) {
        if (!keys_[channel][key].held) end(channel, key);
      }
    }
  }
}

void MidiKeySound::end(int channel, int key) {
  Key& k = keys_[channel][key];
  if (k.soundChannel < 0) return;
  out_.midiOutShortMsg(noteOnMessage(k.soundChannel, key, 0));
  k.soundChannel = -1;
}

void MidiKeySound::reset() {
  const std::lock_guard lock(mutex_);
  for (int channel = 0; channel < 16; ++channel) {
    for (int key = 0; key < 128; ++key) {
      end(channel, key);
      keys_[channel][key] = {};
    }
  }
  pedal_ = false;
}

}  // namespace kelvara
