#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "input/key_input.h"

namespace kelvara {

// One key event for the key handler: a press or a release of a virtual key.
struct KeyStroke {
  bool press = true;
  int key = 0;
  Modifiers modifiers;
  // A press that only repeats a key still held down.
  bool repeat = false;
};

// Makes a held key one press and one release, whatever the window system
// marks as auto-repeat. A held key repeats as a release and a press of the
// same key carrying the same time; some systems mark that pair as a repeat
// and some do not (X11 stops marking it when the program is slow to take the
// events). So an unmarked release is held back until the next key event: a
// press of the same key at the same time makes the pair a repeat, anything
// else lets the release go. The shell also lets it go after a short wait
// (flush), as no repeat follows a real release.
class KeyRepeatFilter {
 public:
  // How long the shell waits, in milliseconds, for the press that makes a
  // held-back release a repeat. The pair is sent together, so a few
  // milliseconds would do; the margin covers a busy machine.
  static constexpr int kPairWaitMs = 20;

  // A key event from the window system; `time` in milliseconds of its clock,
  // `markedRepeat` what the system says. Returns the strokes for the key
  // handler now, in order.
  std::vector<KeyStroke> take(const KeyStroke& event, uint64_t time, bool markedRepeat);
  // The held-back release, given up for good; nothing when none is held.
  std::optional<KeyStroke> flush();
  bool holdingRelease() const { return held_.has_value(); }

 private:
  std::optional<KeyStroke> held_;
  uint64_t heldTime_ = 0;
};

}  // namespace kelvara
