// What preview and audio export feel like: how close to its due time each
// message leaves the player while the window's thread is busy, and how fast
// a score renders to a WAV file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <numeric>
#include <random>
#include <thread>
#include <vector>

#include "files/midi_export.h"
#include "score/onpu.h"
#include "score/part_list.h"
#include "sound/audio_export.h"
#include "sound/midi_player.h"
#include "sound/soundfont_search.h"

namespace kelvara {
namespace {

// Keeps the clock's time of every message sent.
class StampingOutput : public MidiOutput {
 public:
  explicit StampingOutput(PlayerClock& clock) : clock_(clock) { sentAt.reserve(1 << 14); }
  int midiOutGetNumDevs() override { return 1; }
  std::string midiOutGetDevCaps(int) override { return "stamp"; }
  bool midiOutOpen(int) override { return true; }
  void midiOutShortMsg(uint32_t) override { sentAt.push_back(clock_.nowMicros()); }
  void midiOutClose() override {}
  std::vector<int64_t> sentAt;  // written by the player's thread only

 private:
  PlayerClock& clock_;
};

// A score of `parts` parts, `bars` bars of 4/4: eighth notes in part 0,
// sixteenths in part 1, quarter-note chords of three in part 2, half notes
// with a vibrato in part 3.
void fillBusyScore(EditorState& s, int parts, int bars) {
  s.createLists();
  s.PartSelected.fill(0);
  auto add = [&](int part, int32_t pitch, int32_t length) {
    TOnpu* r = makeRecord(pitch, length, 1);
    linkBefore(endMarkerOf(s.PartHead[part]), r);
    return r;
  };
  for (int p = 0; p < parts; ++p) s.PartSelected[static_cast<size_t>(p)] = 1;
  for (int bar = 0; bar < bars; ++bar) {
    for (int i = 0; i < 8 && parts > 0; ++i) add(0, 60 + (bar + i) % 12, 8);
    for (int i = 0; i < 16 && parts > 1; ++i) add(1, 72 + (bar * 3 + i) % 12, 4);
    for (int i = 0; i < 4 && parts > 2; ++i) {
      TOnpu* chord = add(2, 48 + i, 16);
      chord->Pitch[1] = 52 + i;
      chord->Pitch[2] = 55 + i;
      chord->LastIndex = 2;
    }
    for (int i = 0; i < 2 && parts > 3; ++i) {
      TOnpu* held = add(3, 40 + i, 32);
      held->YoinType = 2;
      held->YoinStartNum = 1;
      held->YoinStartDen = 8;
      held->YoinAmount = 30;
      held->YoinPeriod = 4;
    }
  }
}

MidiSong songOf(const EditorState& s) {
  std::vector<uint8_t> bytes;
  encodeMidiExport(s, 0, -1, "bench.mid", bytes);
  return readMidiSong(bytes, "bench.mid").song;
}

double percentile(std::vector<int64_t> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const auto i = static_cast<size_t>(p * static_cast<double>(v.size() - 1));
  return static_cast<double>(v[i]);
}

// The player's thread sends the messages of a 4-part score (about 150 a
// second) while this thread, standing in for the window's, keeps working:
// sorting, allocating and asking the player for its status without a pause.
// Lateness of each message behind its due time, in microseconds.
void BM_PlayerTimingWhileUiBusy(benchmark::State& state) {
  EditorState s;
  fillBusyScore(s, 4, 3);
  const MidiSong song = songOf(s);  // six seconds
  std::vector<int64_t> late;
  std::mt19937 random(1);
  for (auto _ : state) {
    SteadyPlayerClock clock;
    StampingOutput out(clock);
    int64_t start = 0;
    {
      // The window makes its player when it opens, well before play is
      // pressed: its thread is settled by then.
      MidiPlayer player(song, out, clock);
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      start = clock.nowMicros();
      player.play();
      std::vector<uint32_t> work(50000);
      while (player.status().state == PlayState::Playing) {
        std::generate(work.begin(), work.end(), random);
        std::sort(work.begin(), work.end());
        benchmark::DoNotOptimize(work.data());
      }
    }
    for (size_t i = 0; i < song.messages.size() && i < out.sentAt.size(); ++i) {
      late.push_back(out.sentAt[i] - (start + song.messages[i].micros));
    }
  }
  state.counters["messages"] = static_cast<double>(late.size());
  state.counters["p50_us"] = percentile(late, 0.50);
  state.counters["p99_us"] = percentile(late, 0.99);
  state.counters["max_us"] = percentile(late, 1.0);
}
BENCHMARK(BM_PlayerTimingWhileUiBusy)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

// The audio export of a 4-part, 100-bar score (200 s of music at 120) into a
// WAV file, soundfont loading included. `x_realtime`: seconds of music per
// second of work.
void BM_WavExport(benchmark::State& state, const char* soundFontName) {
  std::string font;
  for (const std::string& f : findSoundFonts(systemSoundFontFolders())) {
    if (std::filesystem::path(f).filename() == soundFontName) font = f;
  }
  if (font.empty()) {
    state.SkipWithError("soundfont not installed");
    return;
  }
  EditorState s;
  fillBusyScore(s, 4, 100);
  std::string pattern = (std::filesystem::temp_directory_path() / "kelvara-bench-XXXXXX").string();
  const std::filesystem::path dir = ::mkdtemp(pattern.data());
  const std::string out = (dir / "score.wav").string();
  double wall = 0, cpu = 0;
  for (auto _ : state) {
    const auto wall0 = std::chrono::steady_clock::now();
    const std::clock_t cpu0 = std::clock();  // every thread of the process
    const FileResult r = exportWav(s, 0, -1, out, font);
    cpu += static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    if (!r.ok()) state.SkipWithError(r.message.c_str());
  }
  const double musicSeconds = static_cast<double>(songOf(s).lengthMicros) / 1e6 + 2.0;
  const auto n = static_cast<double>(state.iterations());
  state.counters["music_s"] = musicSeconds;
  // Seconds of music per second waited, and per second of processor time
  // (all threads together; what an idle machine with enough cores gives).
  state.counters["x_realtime_wall"] = musicSeconds * n / wall;
  state.counters["x_realtime_cpu"] = musicSeconds * n / cpu;
  std::filesystem::remove_all(dir);
}
BENCHMARK_CAPTURE(BM_WavExport, FluidR3_GM, "FluidR3_GM.sf2")
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WavExport, TimGM6mb, "TimGM6mb.sf2")
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvara

BENCHMARK_MAIN();
