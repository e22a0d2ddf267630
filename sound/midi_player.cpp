#include "sound/midi_player.h"

#include <utility>

namespace kelvara {

SteadyPlayerClock::SteadyPlayerClock() : epoch_(std::chrono::steady_clock::now()) {}

int64_t SteadyPlayerClock::nowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               epoch_)
      .count();
}

void SteadyPlayerClock::waitUntil(int64_t due, std::unique_lock<std::mutex>& lock,
                                  std::condition_variable& wake) {
  const int64_t sleepUntil = due - kSpinMicros;
  if (nowMicros() < sleepUntil) {
    // Woken early by a command: return so the caller sees it.
    if (wake.wait_until(lock, epoch_ + std::chrono::microseconds(sleepUntil)) ==
        std::cv_status::no_timeout) {
      return;
    }
  }
  // The last stretch: the lock is let go so commands are not held up.
  lock.unlock();
  while (nowMicros() < due) std::this_thread::yield();
  lock.lock();
}

MidiPlayer::MidiPlayer(MidiSong song, MidiOutput& out, PlayerClock& clock)
    : clock_(clock), sequencer_(std::move(song), out), thread_([this] { run(); }) {}

MidiPlayer::~MidiPlayer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sequencer_.stop(clock_.nowMicros());
    quit_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

template <typename Command>
void MidiPlayer::command(Command&& c) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
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
  std::lock_guard<std::mutex> lock(mutex_);
  return sequencer_.status(clock_.nowMicros());
}

void MidiPlayer::run() {
  std::unique_lock<std::mutex> lock(mutex_);
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
