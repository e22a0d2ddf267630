// The preview player's engine: the MIDI file read back, and the sequencer
// played against a clock the test turns, on the recording output.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "files/midi_export.h"
#include "score/onpu.h"
#include "score/part_list.h"
#include "sound/midi_player.h"
#include "sound/midi_song.h"
#include "sound/sequencer.h"

namespace kelvara::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// A recording output that stamps each message with the clock's time.
class TimedRecorder : public MidiOutput {
 public:
  struct Sent {
    int64_t at;
    uint32_t message;
  };
  explicit TimedRecorder(std::function<int64_t()> now) : now_(std::move(now)) {}

  int midiOutGetNumDevs() override { return 1; }
  std::string midiOutGetDevCaps(int) override { return "recorder"; }
  bool midiOutOpen(int) override { return true; }
  void midiOutShortMsg(uint32_t message) override {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.push_back({now_(), message});
  }
  void midiOutClose() override {}

  std::vector<Sent> sent() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
  }
  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.clear();
  }

 private:
  std::function<int64_t()> now_;
  std::mutex mutex_;
  std::vector<Sent> sent_;
};

// A score of two parts in 4/4 at 120 (a quarter note is 500 ms): part 0 plays
// C4 E4 G4 C5 in bar 1 and a half-note D4 with a vibrato then a half rest in
// bar 2; part 1 holds a whole-note G3 in each bar.
class Preview : public ::testing::Test {
 protected:
  Preview() {
    s.createLists();
    for (int32_t pitch : {60, 64, 67, 72}) add(pitch, 16, 0);
    TOnpu* d = add(62, 32, 0);
    d->YoinType = 2;
    d->YoinStartNum = 1;
    d->YoinStartDen = 8;
    d->YoinAmount = 50;
    d->YoinPeriod = 8;
    add(0, 32, 0);
    add(55, 64, 1);
    add(55, 64, 1);
    s.PartSelected.fill(0);
    s.PartSelected[0] = s.PartSelected[1] = 1;
    s.PartProgram[0] = 40;
    s.PartProgram[1] = 70;
  }

  TOnpu* add(int32_t pitch, int32_t length, int part) {
    TOnpu* r = makeRecord(pitch, length, 1);
    linkBefore(endMarkerOf(s.PartHead[part]), r);
    return r;
  }

  MidiSong song(int32_t from = 0, int32_t to = -1) {
    Bytes bytes;
    EXPECT_TRUE(encodeMidiExport(s, from, to, "tt.mid", bytes).ok());
    MidiSongResult r = readMidiSong(bytes, "tt.mid");
    EXPECT_TRUE(r.ok()) << r.error;
    return r.song;
  }

  EditorState s;
  int64_t now = 0;
  TimedRecorder out{[this] { return now; }};
};

std::vector<uint32_t> messagesOf(const MidiSong& song) {
  std::vector<uint32_t> out;
  for (const TimedMessage& m : song.messages) out.push_back(m.message);
  return out;
}

// Pumps the sequencer at exactly each due time until `until`.
void runUntil(Sequencer& seq, int64_t& now, int64_t until) {
  for (int64_t due = seq.pump(now); due != Sequencer::kNever && due <= until; due = seq.pump(now)) {
    now = due;
  }
  now = until;
  seq.pump(now);
}

TEST(MidiSong, ReadsTracksRunningStatusTemposAndBars) {
  // Division 96. Track 0: 3/4, tempo 500 000 then 250 000 from tick 192.
  // Track 1: notes in running status.
  // clang-format off
  const Bytes file = {
      'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96,
      'M', 'T', 'r', 'k', 0, 0, 0, 31,
      0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,        // tempo 500 000
      0x00, 0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08,  // 3/4
      0x81, 0x40, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // tick 192: 250 000
      0x00, 0xB0, 0x07, 0x64,                          // volume on channel 0
      0x00, 0xFF, 0x2F, 0x00,
      'M', 'T', 'r', 'k', 0, 0, 0, 15,
      0x00, 0x91, 0x3C, 0x40,  // note-on C4 on channel 1
      0x82, 0x20, 0x3C, 0x00,  // tick 288, running status: its note-off
      0x00, 0x3E, 0x50,        // D4 on, running status
      0x00, 0xFF, 0x2F, 0x00,
  };
  // clang-format on
  const MidiSongResult r = readMidiSong(file, "x.mid");
  ASSERT_TRUE(r.ok()) << r.error;
  const auto& m = r.song.messages;
  ASSERT_EQ(m.size(), 4u);
  EXPECT_EQ(m[0].message, 0x403C91u);  // track 1's note-on at tick 0
  EXPECT_EQ(m[1].message, 0x6407B0u);  // track 0's controller at tick 192
  EXPECT_EQ(m[1].micros, 1000000);
  EXPECT_EQ(m[2].message, 0x003C91u);
  EXPECT_EQ(m[2].tick, 288);
  // 192 ticks at 500 000 per quarter, then 96 at 250 000.
  EXPECT_EQ(m[2].micros, 1250000);
  EXPECT_EQ(m[3].message, 0x503E91u);
  EXPECT_EQ(r.song.lengthMicros, 1250000);
  EXPECT_EQ(r.song.channelsUsed, 0b11);
  // 3/4 bars of 288 ticks: the last message starts bar 2, which holds nothing
  // more, so the song is one bar long.
  EXPECT_EQ(r.song.barStarts, std::vector<int64_t>{0});
}

TEST(MidiSong, RefusesBrokenFilesWithTheirName) {
  const Bytes header = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0, 96};
  auto with = [&](Bytes track, Bytes head = {}) {
    Bytes f = head.empty() ? header : head;
    const Bytes id = {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(track.size())};
    f.insert(f.end(), id.begin(), id.end());
    f.insert(f.end(), track.begin(), track.end());
    return f;
  };
  const std::vector<Bytes> broken = {
      {},
      {'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 1, 0, 1, 0, 96},
      with({0x00, 0x90, 0x3C}),                                // ends inside a message
      with({0x00, 0x3C, 0x40}),                                // data before any status
      with({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x90, 0x3C, 0x40}),  // delta of five bytes
      with({0x00, 0x90, 0x3C, 0x40}, {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 2, 0, 1, 0, 96}),
      with({0x00, 0x90, 0x3C, 0x40}, {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0xE7, 0x28}),
      with({0x00, 0xFF, 0x51, 0x7F, 0x00}),  // meta longer than its track
      with({0x00, 0x90, 0x3C, 0x40}, {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96}),
  };
  for (size_t i = 0; i < broken.size(); ++i) {
    const MidiSongResult r = readMidiSong(broken[i], "bad.mid");
    EXPECT_FALSE(r.ok()) << "file " << i;
    EXPECT_NE(r.error.find("bad.mid"), std::string::npos) << r.error;
  }
  EXPECT_FALSE(readMidiSongFile("/nonexistent/tt.mid").ok());
}

TEST_F(Preview, ExportReadsBackWithItsTimesBarsAndChannels) {
  const MidiSong x = song();
  ASSERT_EQ(x.barCount(), 2);
  EXPECT_EQ(x.barStarts[1], 2000000);
  EXPECT_EQ(x.channelsUsed, 0b11);
  // E4 starts on beat 2, half a second in.
  const auto all = messagesOf(x);
  const auto e4 = std::find(all.begin(), all.end(), 0x644090u);
  ASSERT_NE(e4, all.end());
  EXPECT_EQ(x.messages[static_cast<size_t>(e4 - all.begin())].micros, 500000);
  // The vibrato's bends come while D4 sounds in bar 2.
  int bends = 0;
  for (const TimedMessage& m : x.messages) {
    if ((m.message & 0xF0u) == 0xE0u && m.micros > 2000000 && m.micros < 3000000) ++bends;
  }
  EXPECT_GE(bends, 3);
  // A range keeps only bar 2, which starts the file.
  const MidiSong bar2 = song(2, 2);
  EXPECT_EQ(bar2.barCount(), 1);
}

TEST_F(Preview, EveryMessageArrivesInOrderAtItsTime) {
  const MidiSong x = song();
  Sequencer seq(x, out);
  now = 7000;  // the clock does not start at 0
  seq.play(now);
  runUntil(seq, now, 10000000);
  const auto sent = out.sent();
  ASSERT_GE(sent.size(), x.messages.size());
  for (size_t i = 0; i < x.messages.size(); ++i) {
    EXPECT_EQ(sent[i].message, x.messages[i].message) << i;
    EXPECT_EQ(sent[i].at, 7000 + x.messages[i].micros) << i;
  }
  // At the end the channels are quiet and centred.
  EXPECT_EQ(seq.status(now).state, PlayState::Stopped);
  EXPECT_EQ(seq.status(now).positionMicros, x.lengthMicros);
  const std::vector<uint32_t> tail = {0x7BB0u, 0x4000E0u, 0x7BB1u, 0x4000E1u};
  ASSERT_EQ(sent.size(), x.messages.size() + tail.size());
  for (size_t i = 0; i < tail.size(); ++i) EXPECT_EQ(sent[x.messages.size() + i].message, tail[i]);
}

TEST_F(Preview, PauseSilencesAndResumeLosesNothing) {
  const MidiSong x = song();
  Sequencer seq(x, out);
  seq.play(now);
  runUntil(seq, now, 2300000);  // D4 and G3 sound, D4's vibrato has begun
  out.clear();
  seq.pause(now);
  const auto silenced = out.sent();
  // The note-offs of what sounds, then all-notes-off and a centred bend on
  // both channels.
  const std::vector<uint32_t> expected = {0x3E80u, 0x3781u, 0x7BB0u, 0x4000E0u, 0x7BB1u, 0x4000E1u};
  ASSERT_EQ(silenced.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(silenced[i].message, expected[i]) << i;
  EXPECT_EQ(seq.status(now).positionMicros, 2300000);
  EXPECT_EQ(seq.pump(now + 5000000), Sequencer::kNever);  // nothing while paused

  out.clear();
  now += 4000000;
  seq.play(now);
  runUntil(seq, now, 20000000);
  // The programs, controllers and bends in force come first, at the moment
  // of resuming; then exactly the messages not yet sent, each at its time
  // moved on by the pause.
  const auto resumed = out.sent();
  ASSERT_FALSE(resumed.empty());
  EXPECT_EQ(resumed.front().message, 0x28C0u);
  const bool bendRestored =
      std::any_of(resumed.begin(), resumed.end(), [](const TimedRecorder::Sent& m) {
        return m.at == 6300000 && (m.message & 0xF0u) == 0xE0u && m.message != 0x4000E0u;
      });
  EXPECT_TRUE(bendRestored);
  size_t first = 0;
  while (x.messages[first].micros <= 2300000) ++first;
  std::vector<TimedRecorder::Sent> played;
  for (const auto& m : resumed) {
    if (m.at > 6300000) played.push_back(m);
  }
  ASSERT_GE(played.size(), x.messages.size() - first);
  for (size_t i = first; i < x.messages.size(); ++i) {
    EXPECT_EQ(played[i - first].message, x.messages[i].message) << i;
    EXPECT_EQ(played[i - first].at, 4000000 + x.messages[i].micros) << i;
  }
}

TEST_F(Preview, StopEndsEveryNoteAndStartsAgainFromTheTop) {
  const MidiSong x = song();
  Sequencer seq(x, out);
  seq.play(now);
  runUntil(seq, now, 600000);  // E4 and G3 sound
  out.clear();
  seq.stop(now);
  std::vector<uint32_t> sent;
  for (const auto& m : out.sent()) sent.push_back(m.message);
  EXPECT_EQ(sent,
            (std::vector<uint32_t>{0x4080u, 0x3781u, 0x7BB0u, 0x4000E0u, 0x7BB1u, 0x4000E1u}));
  EXPECT_EQ(seq.status(now).state, PlayState::Stopped);
  EXPECT_EQ(seq.status(now).positionMicros, 0);
  out.clear();
  seq.play(now);
  seq.pump(now);
  EXPECT_EQ(out.sent().front().message, x.messages.front().message);
}

TEST_F(Preview, StepAndBackLandOnBarStartsWithTheStateInForce) {
  const MidiSong x = song();
  Sequencer seq(x, out);
  seq.step(now);  // stopped: moves to bar 2 and waits there
  EXPECT_EQ(seq.status(now).state, PlayState::Paused);
  EXPECT_EQ(seq.status(now).positionMicros, 2000000);
  EXPECT_EQ(seq.status(now).bar, 1);
  seq.step(now);  // no bar after the last
  EXPECT_EQ(seq.status(now).positionMicros, 2000000);

  seq.play(now);
  // Programs and the set-up controllers come first, then bar 2's notes.
  const auto start = out.sent();
  EXPECT_EQ(start.front().message, 0x28C0u);  // program 40 on channel 0
  out.clear();
  runUntil(seq, now, now + 800000);
  seq.back(now);  // 0.8 s into bar 2: to its start
  EXPECT_EQ(seq.status(now).positionMicros, 2000000);
  seq.back(now);  // at the start: to bar 1
  EXPECT_EQ(seq.status(now).positionMicros, 0);
  EXPECT_EQ(seq.status(now).state, PlayState::Playing);
  seq.back(now);  // nothing before bar 1
  EXPECT_EQ(seq.status(now).positionMicros, 0);
  // Every jump while playing ended what sounded.
  const auto after = out.sent();
  EXPECT_NE(
      std::find_if(after.begin(), after.end(), [](const auto& m) { return m.message == 0x3E80u; }),
      after.end());
  seq.pause(now);
  seq.step(now);
  EXPECT_EQ(seq.status(now).state, PlayState::Paused);
  EXPECT_EQ(seq.status(now).positionMicros, 2000000);
}

// A clock that moves only when the test moves it; the player's thread polls
// it while waiting.
class TestClock : public PlayerClock {
 public:
  int64_t nowMicros() override { return now.load(); }
  void waitUntil(int64_t due, PlayerLock& lock, std::condition_variable_any& wake) override {
    if (jump) {
      now = std::max(now.load(), due);
      return;
    }
    wake.wait_for(lock, std::chrono::milliseconds(1));
  }
  std::atomic<int64_t> now{0};
  bool jump = false;
};

template <typename Predicate>
bool eventually(Predicate p) {
  for (int i = 0; i < 5000 && !p(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return p();
}

TEST_F(Preview, PlayerThreadKeepsTimeAndClosingEndsEveryNote) {
  const MidiSong x = song();
  TestClock clock;
  TimedRecorder timed([&] { return clock.nowMicros(); });
  {
    clock.jump = true;
    MidiPlayer player(x, timed, clock);
    player.play();
    ASSERT_TRUE(eventually([&] { return player.status().state == PlayState::Stopped; }));
    const auto sent = timed.sent();
    ASSERT_GE(sent.size(), x.messages.size());
    for (size_t i = 0; i < x.messages.size(); ++i) {
      EXPECT_EQ(sent[i].message, x.messages[i].message) << i;
      EXPECT_EQ(sent[i].at, x.messages[i].micros) << i;
    }
  }
  timed.clear();
  clock.jump = false;
  clock.now = 0;
  {
    MidiPlayer player(x, timed, clock);
    player.play();
    clock.now = 2100000;  // D4 and the second G3 have begun
    ASSERT_TRUE(eventually([&] {
      const auto s = timed.sent();
      return std::any_of(s.begin(), s.end(), [](const auto& m) { return m.message == 0x643E90u; });
    }));
    EXPECT_EQ(player.status().bar, 1);
    timed.clear();
  }  // the window closes
  std::vector<uint32_t> closing;
  for (const auto& m : timed.sent()) closing.push_back(m.message);
  EXPECT_EQ(closing,
            (std::vector<uint32_t>{0x3E80u, 0x3781u, 0x7BB0u, 0x4000E0u, 0x7BB1u, 0x4000E1u}));
}

}  // namespace
}  // namespace kelvara::testing
