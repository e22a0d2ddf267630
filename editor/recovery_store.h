#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvara {

// Recovery copies of unsaved work, one set of files per running editor in
// the user's state folder:
//   <run>.lock  held locked (flock) for as long as the editor runs
//   <run>.zqf3  the latest recovery copy of the whole score
//   <run>.name  the file name the score had, if any
// A copy whose lock nobody holds was left by a run that did not end cleanly.
// Two editors never share or delete each other's files: each writes only its
// own run's files and touches another run's only once its lock is free.
class RecoveryStore {
 public:
  // A recovery copy left by an earlier run.
  struct Orphan {
    std::string run;       // the run's name, the stem of its files
    std::string copyPath;  // its .zqf3
    std::string fileName;  // the score's file name then ("" if it had none)
    int64_t modifiedSeconds = 0;
  };

  // The folder: $XDG_STATE_HOME/kelvara, else ~/.local/state/kelvara.
  static std::string defaultFolder();

  explicit RecoveryStore(std::string folder);
  ~RecoveryStore();
  RecoveryStore(const RecoveryStore&) = delete;
  RecoveryStore& operator=(const RecoveryStore&) = delete;

  // Creates the folder and takes this run's lock. Returns an error text,
  // empty on success; without it nothing is written.
  std::string claim();
  bool claimed() const { return lockFd_ >= 0; }

  // Copies left by runs that are not running any more, newest first. Runs
  // that are still running (their lock is held) are not listed.
  std::vector<Orphan> orphans() const;

  // Writes this run's copy atomically (old copy or complete new one).
  // Safe to call from a worker thread, one call at a time. Returns an error
  // text, empty on success.
  std::string write(std::span<const uint8_t> zqf3, const std::string& fileName) const;
  // Removes this run's copy (the score was saved or emptied).
  void removeCopy() const;
  // Removes this run's files and lets go of its lock: the clean exit.
  void release();
  // Lets go of the lock and removes its file, keeping the copy for the next
  // start: an end with unsaved work.
  void releaseLock();

  // Removes an earlier run's files once it is known not to be running.
  // Returns false when its lock is held again (it is running after all).
  bool discard(const Orphan& orphan) const;

  // Keeps an earlier run's copy, restored into this run, until this run's
  // own copy is written (or the work saved): a crash in between still finds
  // it. Holds its lock meanwhile, so other editors leave it alone. Returns
  // false when another editor holds it.
  bool adopt(const Orphan& orphan);
  // True while an adopted copy waits for this run's own.
  bool holdsAdopted() const { return adoptedFd_ >= 0; }

  const std::string& folder() const { return folder_; }
  const std::string& run() const { return run_; }
  std::string copyPath() const;

 private:
  std::string pathOf(const std::string& run, const char* ext) const;
  // Removes the adopted copy: this run's copy or the saved file holds the work.
  void dropAdopted() const;
  // Removes lock files of runs that ended with nothing to recover.
  void removeStaleLocks() const;

  std::string folder_;
  std::string run_;
  int lockFd_ = -1;
  std::string adoptedRun_;
  // Set once the adopted run is named; the worker's write may drop it.
  mutable std::atomic<int> adoptedFd_{-1};
};

}  // namespace kelvara
