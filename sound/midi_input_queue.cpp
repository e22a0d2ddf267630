#include "sound/midi_input_queue.h"

#include <utility>

namespace kelvara {

void MidiInputQueue::push(const ShortMessage& message) {
  if (first_) first_(message);
  bool wake = false;
  {
    const std::lock_guard lock(mutex_);
    if (waiting_.size() >= kCapacity) {
      ++dropped_;
      return;
    }
    waiting_.push_back(message);
    wake = !wakeDue_;
    wakeDue_ = true;
  }
  if (wake && wake_) wake_();
}

std::vector<ShortMessage> MidiInputQueue::take() {
  std::vector<ShortMessage> out;
  const std::lock_guard lock(mutex_);
  out.swap(waiting_);
  wakeDue_ = false;
  return out;
}

size_t MidiInputQueue::takeDropped() {
  const std::lock_guard lock(mutex_);
  return std::exchange(dropped_, 0);
}

}  // namespace kelvara
