#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "sound/midi_output.h"
#include "sound/midi_song.h"

namespace kelvara {

enum class PlayState { Stopped, Playing, Paused };

// Where a player stands, for its window.
struct PlayerStatus {
  PlayState state = PlayState::Stopped;
  int64_t positionMicros = 0;  // from the song's start
  int64_t lengthMicros = 0;
  int bar = 0;   // 0-based bar holding the position
  int bars = 1;  // bars of the song
};

// Plays a song on a MIDI output against a clock it is given: every command
// and pump() takes the clock's present time in microseconds. It keeps its own
// copy of the song. Not thread-safe: one caller at a time (MidiPlayer adds
// the thread and the lock).
//
// Whenever playing stops or jumps (stop, pause, step, back, the song's end,
// destruction) nothing is left sounding: every note still on gets its
// note-off, then every channel the song uses gets all-notes-off and its pitch
// bend centred. Playing that starts anywhere but at the first message first
// sends the programs, controllers and bends in force at that point.
class Sequencer {
 public:
  static constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
  // Pressing back this long after a bar's start returns to that start;
  // sooner, to the bar before.
  static constexpr int64_t kBackGraceMicros = 500000;

  Sequencer(MidiSong song, MidiOutput& out);
  ~Sequencer();
  Sequencer(const Sequencer&) = delete;
  Sequencer& operator=(const Sequencer&) = delete;

  // Starts or resumes playing at the position; from the start when the song
  // had played to its end.
  void play(int64_t now);
  // Stops playing and keeps the position.
  void pause(int64_t now);
  // Stops playing and goes back to the start.
  void stop(int64_t now);
  // To the start of the next bar (no further than the last bar's start).
  void step(int64_t now);
  // To the start of the bar playing, or of the bar before when the position
  // is within kBackGraceMicros of its bar's start.
  void back(int64_t now);
  // Sends every message due by `now`. Returns the clock time of the next
  // message, or kNever when not playing.
  int64_t pump(int64_t now);
  // Ends every sounding note (see above); playing is not changed.
  void silence();

  PlayerStatus status(int64_t now) const;
  const MidiSong& song() const { return song_; }

 private:
  // Per channel, what the song has set so far: program, controllers in the
  // order first set, pitch bend.
  struct ChannelState {
    int program = -1;
    std::vector<std::pair<uint8_t, uint8_t>> controllers;  // number, value
    int bend = -1;
  };

  int64_t positionAt(int64_t now) const;
  void seek(int64_t now, int64_t position);
  void send(uint32_t message);
  // Sends the programs, controllers and bends set by the messages before next_.
  void chase();

  MidiSong song_;
  MidiOutput& out_;
  PlayState state_ = PlayState::Stopped;
  size_t next_ = 0;                                      // the next message to send
  int64_t origin_ = 0;                                   // clock time of position 0 while playing
  int64_t position_ = 0;                                 // while not playing
  bool finished_ = false;                                // played to the end
  std::array<std::array<uint8_t, 128>, 16> sounding_{};  // note-ons not yet ended
};

}  // namespace kelvara
