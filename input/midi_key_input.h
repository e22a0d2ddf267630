#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "score/editor_state.h"
#include "score/score_editor.h"
#include "sound/midi_output.h"

namespace kelvara {

// A MIDI keyboard played into the work part. A key sounds at once on the work
// part's channel with the velocity played, and its pitch is entered at the
// cursor through the same command a letter key runs, with the velocity kept
// in the record; the letter keys' octave plays no part (the key is the
// pitch). In single-note input each note-on is a record of its own. In chord
// input, and in either input while the sustain pedal is down, keys pressed
// while another key (or the pedal) is down join one chord, which closes and
// is passed, as Shift does, once the last key and the pedal are up. On the
// percussion part a key enters that drum key as the pad does.
class MidiKeyInput {
 public:
  MidiKeyInput(EditorState& state, ScoreEditor& score, MidiOutput& midi)
      : s_(state), score_(score), midi_(midi) {}

  // Messages from the MIDI input, oldest first, on the UI thread. Every note
  // of the batch is handed to the output before any is entered, so a chord
  // sounds together. With `enter` false (a dialog is open) note-ons are
  // neither sounded nor entered; releases and the pedal still end what sounds.
  void receive(std::span<const ShortMessage> messages, bool enter = true);
  // Ends every note the keyboard is sounding and forgets the keys held (the
  // input was closed or changed).
  void reset();

  // Whether a played key can go into the work part: a pitch the staff holds,
  // on the percussion part one of the pad's drum keys.
  bool accepts(int32_t key) const;

 private:
  // A key of one input channel: the output channel it sounds on (-1: none),
  // whether the player still holds it (for the sound and for the entry).
  struct Key {
    int8_t soundChannel = -1;
    bool heldForSound = false;
    bool heldForEntry = false;
  };
  Key& key(const ShortMessage& m) { return keys_[m.channel()][m.data1]; }

  void sound(const ShortMessage& m, bool enter);
  void soundOff(Key& k, int key);
  void enterMessage(const ShortMessage& m, bool enter);
  void enterNote(int32_t key, int32_t velocity);
  // The chord being played closes when the last key and the pedal are up.
  void closeChordWhenDone(bool enter);

  EditorState& s_;
  ScoreEditor& score_;
  MidiOutput& midi_;
  std::array<std::array<Key, 128>, 16> keys_{};
  int heldForEntry_ = 0;
  bool pedalForSound_ = false;
  bool pedalForEntry_ = false;
  // Keys played now join the open chord (one has been entered this chord).
  bool joining_ = false;
};

}  // namespace kelvara
