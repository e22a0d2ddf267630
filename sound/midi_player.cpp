#include "sound/midi_player.h"

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>

#include <algorithm>

#include <utility>

namespace kelvara {

PlayerMutex::PlayerMutex() {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT);
  pthread_mutex_init(&mutex_, &attributes);
  pthread_mutexattr_destroy(&attributes);
}

PlayerMutex::~PlayerMutex() {
  pthread_mutex_destroy(&mutex_);
}

void PlayerMutex::lock() {
  pthread_mutex_lock(&mutex_);
}

void PlayerMutex::unlock() {
  pthread_mutex_unlock(&mutex_);
}

bool PlayerMutex::try_lock() {
  return pthread_mutex_trylock(&mutex_) == 0;
}

SteadyPlayerClock::SteadyPlayerClock() : epoch_(std::chrono::steady_clock::now()) {}

int64_t SteadyPlayerClock::nowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               epoch_)
      .count();
}

void SteadyPlayerClock::waitUntil(int64_t due, PlayerLock& lock,
                                  std::condition_variable_any& wake) {
  // A command wakes the thread early; the caller then looks again.
  wake.wait_until(lock, epoch_ + std::chrono::microseconds(due));
}

namespace {

// The player's thread asks to be woken on the microsecond rather than within
// the default 50 us of slack, and, where the system allows it (a real-time
// group, rtkit, root), to run before ordinary threads so that a busy machine
// does not make notes late. Refusals are harmless: it plays on as it is.
void preferPunctualWakeUps() {
  ::prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
  sched_param param{};
  param.sched_priority = std::max(1, sched_get_priority_min(SCHED_FIFO) + 10);
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

}  // namespace

MidiPlayer::MidiPlayer(MidiSong song, MidiOutput& out, PlayerClock& clock)
    : clock_(clock), sequencer_(std::move(song), out), thread_([this] { run(); }) {}

MidiPlayer::~MidiPlayer() {
  {
    std::lock_guard<PlayerMutex> lock(mutex_);
    sequencer_.stop(clock_.nowMicros());
    quit_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

template <typename Command>
void MidiPlayer::command(Command&& c) {
  {
    std::lock_guard<PlayerMutex> lock(mutex_);
    c(sequencer_, clock_.nowMicros());
    changed_ = true;
  }
  wake_.notify_one();
}

void MidiPlayer::play() {
  command([](Sequencer& s, int64_t now) { s.play(now); });
}

void MidiPlayer::pause() {
  command([](Sequencer& s, int64_t now) { s.pause(now); });
}

void MidiPlayer::stop() {
  command([](Sequencer& s, int64_t now) { s.stop(now); });
}

void MidiPlayer::step() {
  command([](Sequencer& s, int64_t now) { s.step(now); });
}

void MidiPlayer::back() {
  command([](Sequencer& s, int64_t now) { s.back(now); });
}

PlayerStatus MidiPlayer::status() {
  std::lock_guard<PlayerMutex> lock(mutex_);
  return sequencer_.status(clock_.nowMicros());
}

void MidiPlayer::run() {
  preferPunctualWakeUps();
  PlayerLock lock(mutex_);
  while (!quit_) {
    const int64_t due = sequencer_.pump(clock_.nowMicros());
    if (changed_) {
      changed_ = false;
      continue;
    }
    if (due == Sequencer::kNever) {
      wake_.wait(lock, [this] { return quit_ || changed_; });
    } else {
      clock_.waitUntil(due, lock, wake_);
    }
  }
}

}  // namespace kelvara
