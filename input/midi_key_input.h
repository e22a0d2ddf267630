#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "score/editor_state.h"
#include "score/score_editor.h"
#include "sound/midi_output.h"

namespace kelvara {

// A MIDI keyboard played into the work part (its sound is MidiKeySound's, on
// the input's thread). A key's pitch is entered at the cursor through the
// same command a letter key runs, with the velocity played kept in the
// record; the letter keys' octave plays no part (the key is the pitch). In
// single-note input each note-on is a record of its own. In chord input, and
// in either input while the sustain pedal is down, keys pressed while another
// key (or the pedal) is down join one chord, which closes and is passed, as
// Shift does, once the last key and the pedal are up. On the percussion part
// a key enters that drum key as the pad does.
class MidiKeyInput {
 public:
  MidiKeyInput(EditorState& state, ScoreEditor& score) : s_(state), score_(score) {}

  // Messages from the MIDI input, oldest first, on the UI thread. With
  // `enter` false (a dialog is open) note-ons are not entered; releases and
  // the pedal still count.
  void receive(std::span<const ShortMessage> messages, bool enter = true);
  // Forgets the keys held and the pedal (the input was closed or changed).
  void reset();

  // Whether a played key can go into the work part: a pitch the staff holds,
  // on the percussion part one of the pad's drum keys.
  bool accepts(int32_t key) const;

 private:
  void enterNote(int32_t key, int32_t velocity);
  // The chord being played closes when the last key and the pedal are up.
  void closeChordWhenDone(bool enter);

  EditorState& s_;
  ScoreEditor& score_;
  // Keys held, per input channel and key, that were taken for entry.
  std::array<std::array<bool, 128>, 16> held_{};
  int heldCount_ = 0;
  bool pedal_ = false;
  // Keys played now join the open chord (one has been entered this chord).
  bool joining_ = false;
};

}  // namespace kelvara
