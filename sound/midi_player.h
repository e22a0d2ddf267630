#pragma once

#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "sound/sequencer.h"

namespace kelvara {

// A mutex that lends its waiter's priority to its holder: when the player's
// punctual thread waits for the window's thread to let go of the lock, the
// window's thread runs at once instead of queueing behind the machine's
// other work.
class PlayerMutex {
 public:
  PlayerMutex();
  ~PlayerMutex();
  PlayerMutex(const PlayerMutex&) = delete;
  PlayerMutex& operator=(const PlayerMutex&) = delete;
  void lock();
  void unlock();
  bool try_lock();

 private:
  pthread_mutex_t mutex_;
};

using PlayerLock = std::unique_lock<PlayerMutex>;

// The time a player keeps, in microseconds, and how its thread waits for it.
class PlayerClock {
 public:
  virtual ~PlayerClock() = default;
  virtual int64_t nowMicros() = 0;
  // Waits until the clock reads `due` or `wake` is notified, whichever comes
  // first; `lock` (on the mutex `wake` goes with) is held on entry and exit.
  virtual void waitUntil(int64_t due, PlayerLock& lock, std::condition_variable_any& wake) = 0;
};

// The machine's monotonic clock; the thread sleeps until each message is due.
class SteadyPlayerClock : public PlayerClock {
 public:
  SteadyPlayerClock();
  int64_t nowMicros() override;
  void waitUntil(int64_t due, PlayerLock& lock, std::condition_variable_any& wake) override;

 private:
  std::chrono::steady_clock::time_point epoch_;
};

// A Sequencer on its own thread: the window's commands and status calls come
// from the window's thread, the messages go out from the player's thread at
// their time. Every call to the output happens under one lock, so the two
// threads never talk to the output at once. Destroying the player stops it
// with nothing left sounding.
class MidiPlayer {
 public:
  MidiPlayer(MidiSong song, MidiOutput& out, PlayerClock& clock);
  ~MidiPlayer();
  MidiPlayer(const MidiPlayer&) = delete;
  MidiPlayer& operator=(const MidiPlayer&) = delete;

  void play();
  void pause();
  void stop();
  void step();
  void back();
  PlayerStatus status();

 private:
  template <typename Command>
  void command(Command&& c);
  void run();

  PlayerClock& clock_;
  PlayerMutex mutex_;
  std::condition_variable_any wake_;
  Sequencer sequencer_;
  bool quit_ = false;
  bool changed_ = false;
  std::thread thread_;  // last: starts once everything above is made
};

}  // namespace kelvara
