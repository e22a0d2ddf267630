#pragma once

#include <cstdint>
#include <future>
#include <string>

#include "editor/recovery_store.h"
#include "score/editor_state.h"

namespace kelvara {

// Keeps the recovery copy of unsaved work: a few seconds after the last
// change the whole score is encoded and handed to a worker thread that writes
// it, so the keys never wait for the disk. A saved (or emptied) score has no
// copy. The shell calls tick() from a timer.
class RecoveryKeeper {
 public:
  // Quiet time after the last change before the copy is written, in ms.
  static constexpr int64_t kQuietMs = 2000;

  RecoveryKeeper(EditorState& state, RecoveryStore& store) : s_(state), store_(store) {}
  // Waits for a write in flight; the copy stays (an unclean end keeps it).
  ~RecoveryKeeper();
  RecoveryKeeper(const RecoveryKeeper&) = delete;
  RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

  // Looks at the score; nowMs is a monotonic clock in milliseconds.
  void tick(int64_t nowMs);
  // Waits until the write in flight has ended.
  void wait();
  // The clean exit: waits, then removes this run's copy and lock.
  void finish();
  // An end without a save (a termination signal): unsaved work gets its
  // copy at once, whatever the quiet time, and the copy stays for the next
  // start; the lock goes. A saved score ends as finish() does.
  void keep();

  // Copies handed to the worker so far.
  int writes() const { return writes_; }
  // The last write's error, empty after a good one.
  const std::string& lastError() const { return lastError_; }
  // What the user is to be told about the copies: once when they stop being
  // written (crash protection is off) and once when they are written again;
  // empty otherwise. Taking it clears it.
  std::string takeNotice();

 private:
  void collect();
  // Records how the latest copy fared and words a notice when that changed.
  void noteOutcome(std::string error);
  // Encodes every part and hands the copy to the worker.
  void writeCopy();

  EditorState& s_;
  RecoveryStore& store_;
  uint64_t seenChanges_ = 0;
  uint64_t writtenChanges_ = 0;
  int64_t lastChangeMs_ = 0;
  bool copyExists_ = false;
  int writes_ = 0;
  std::string lastError_;
  bool failing_ = false;
  std::string notice_;
  std::future<std::string> pending_;
};

}  // namespace kelvara
