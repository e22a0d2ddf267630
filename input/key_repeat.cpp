#include "input/key_repeat.h"

namespace kelvara {

std::vector<KeyStroke> KeyRepeatFilter::take(const KeyStroke& event, uint64_t time,
                                             bool markedRepeat) {
  std::vector<KeyStroke> out;
  // Time 0 is an event without a time (made by a program, not by the
  // window system): it never pairs.
  if (event.press && held_ && held_->key == event.key && heldTime_ == time && time != 0) {
    // The held-back release and this press are one repeat of a held key.
    held_.reset();
    KeyStroke repeat = event;
    repeat.repeat = true;
    out.push_back(repeat);
    return out;
  }
  if (std::optional<KeyStroke> released = flush()) out.push_back(*released);
  if (event.press) {
    KeyStroke press = event;
    press.repeat = markedRepeat;
    out.push_back(press);
  } else if (!markedRepeat) {
    held_ = event;
    heldTime_ = time;
  }
  // A release marked as a repeat is dropped: its key is still down.
  return out;
}

std::optional<KeyStroke> KeyRepeatFilter::flush() {
  std::optional<KeyStroke> released;
  released.swap(held_);
  return released;
}

}  // namespace kelvara
