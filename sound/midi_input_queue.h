#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

#include "sound/midi_output.h"

namespace kelvara {

// Channel messages on their way from the input's thread to the UI thread, in
// the order they arrived. The input's thread only pushes; the UI thread takes
// everything queued so far and works on it there, so the score is never
// touched off the UI thread.
class MidiInputQueue {
 public:
  // More than this many messages waiting means the UI thread is stuck; later
  // ones are dropped (and counted) rather than growing without bound.
  static constexpr size_t kCapacity = 4096;

  // `first` sees every message on the pushing thread before it is queued:
  // for what must not wait for the UI thread (the sound). `wake` is called on
  // the pushing thread when a message arrives while no take() is due; it must
  // only arrange for take() to run on the UI thread (a queued call). Either
  // may be empty; without `wake` the UI thread polls.
  explicit MidiInputQueue(std::function<void()> wake = {},
                          std::function<void(const ShortMessage&)> first = {})
      : wake_(std::move(wake)), first_(std::move(first)) {}

  // From the input's thread: adds one message.
  void push(const ShortMessage& message);
  // On the UI thread: every message queued so far, oldest first.
  std::vector<ShortMessage> take();
  // How many messages were dropped because the queue was full, since the
  // last call.
  size_t takeDropped();

 private:
  const std::function<void()> wake_;
  const std::function<void(const ShortMessage&)> first_;
  std::mutex mutex_;
  std::vector<ShortMessage> waiting_;
  bool wakeDue_ = false;  // a wake was sent and its take() has not run yet
  size_t dropped_ = 0;
};

}  // namespace kelvara
