// What a key press costs on the built-in synthesizer, and how soon it can be
// heard.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "sound/fluid_synth_output.h"
#include "sound/part_voices.h"
#include "sound/soundfont_search.h"

namespace kelvara {
namespace {

using Clock = std::chrono::steady_clock;

FluidSynthOptions offlineOptions() {
  FluidSynthOptions o;
  o.realtime = false;
  o.soundFonts = findSoundFonts(systemSoundFontFolders());
  return o;
}

// Pulls one period after another at the pace of real audio, as the audio
// driver's thread does, so messages meet the synthesizer while it renders.
class PacedAudio {
 public:
  explicit PacedAudio(FluidSynthOutput& synth) : synth_(synth), thread_([this] { run(); }) {}
  ~PacedAudio() {
    stop_ = true;
    thread_.join();
  }

 private:
  void run() {
    const FluidSynthOptions& o = synth_.options();
    std::vector<float> left(static_cast<size_t>(o.periodSize)), right(left.size());
    const auto period = std::chrono::nanoseconds(1'000'000'000LL * o.periodSize / o.sampleRate);
    auto next = Clock::now();
    while (!stop_) {
      synth_.render(left.data(), right.data(), o.periodSize);
      next += period;
      std::this_thread::sleep_until(next);
    }
  }

  FluidSynthOutput& synth_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// One note-on and its note-off, each timed, a millisecond apart as from a
// fast player, while the audio thread renders.
void BM_ShortMessageToSynthesizer(benchmark::State& state) {
  FluidSynthOutput synth(offlineOptions());
  if (!synth.midiOutOpen(0)) {
    state.SkipWithError("no soundfont installed");
    return;
  }
  synth.midiOutShortMsg(packShortMessage(0xC0, 0, 0));
  PacedAudio audio(synth);
  std::vector<double> micros;
  int key = 0;
  for (auto _ : state) {
    const uint32_t on = noteOnMessage(0, 48 + key % 24, 100);
    const uint32_t off = noteOnMessage(0, 48 + key % 24, 0);
    ++key;
    const auto t0 = Clock::now();
    synth.midiOutShortMsg(on);
    const auto t1 = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto t2 = Clock::now();
    synth.midiOutShortMsg(off);
    const auto t3 = Clock::now();
    const std::chrono::duration<double> spent = (t1 - t0) + (t3 - t2);
    state.SetIterationTime(spent.count() / 2);  // per message
    micros.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    micros.push_back(std::chrono::duration<double, std::micro>(t3 - t2).count());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::sort(micros.begin(), micros.end());
  const auto at = [&](double q) { return micros[static_cast<size_t>(q * (micros.size() - 1))]; };
  state.counters["p50_us"] = at(0.50);
  state.counters["p99_us"] = at(0.99);
  state.counters["max_us"] = micros.back();
}
BENCHMARK(BM_ShortMessageToSynthesizer)
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);

// Rendering one audio period with sixteen notes sounding must take well under
// the period itself, or the buffer runs dry.
void BM_RenderOnePeriod(benchmark::State& state) {
  FluidSynthOutput synth(offlineOptions());
  if (!synth.midiOutOpen(0)) {
    state.SkipWithError("no soundfont installed");
    return;
  }
  const FluidSynthOptions& o = synth.options();
  synth.midiOutShortMsg(packShortMessage(0xC0, 48, 0));  // strings: they sustain
  for (int key = 48; key < 64; ++key) synth.midiOutShortMsg(noteOnMessage(0, key, 100));
  std::vector<float> left(static_cast<size_t>(o.periodSize)), right(left.size());
  for (auto _ : state) {
    synth.render(left.data(), right.data(), o.periodSize);
    benchmark::DoNotOptimize(left.data());
  }
  state.counters["period_ms"] = 1000.0 * o.periodSize / o.sampleRate;
}
BENCHMARK(BM_RenderOnePeriod)->Unit(benchmark::kMicrosecond);

// The sound of a message leaves the synthesizer at most one full audio
// buffer later; reported from the settings the audio driver is started with.
void BM_LatencyBound(benchmark::State& state) {
  FluidSynthOptions o;
  o.realtime = false;
  o.soundFonts = {};
  FluidSynthOutput synth(o);
  for (auto _ : state) benchmark::DoNotOptimize(synth.latencyBoundMs());
  state.counters["sample_rate"] = o.sampleRate;
  state.counters["period_frames"] = o.periodSize;
  state.counters["periods"] = o.periods;
  state.counters["bound_ms"] = synth.latencyBoundMs();
}
BENCHMARK(BM_LatencyBound)->Iterations(1);

// The editor holds only the voices its parts use: choosing another voice
// loads its samples then (program_change_ms, paid in the sound dialog), so
// the first note of the new voice costs what any note does (note_on_us) and
// sounds in the next audio period.
void BM_FirstNoteOfANewlyChosenVoice(benchmark::State& state) {
  FluidSynthOptions o = offlineOptions();
  o.loadSamplesOnUse = true;
  FluidSynthOutput synth(o);
  if (!synth.midiOutOpen(0)) {
    state.SkipWithError("no soundfont installed");
    return;
  }
  const PacedAudio audio(synth);
  double worstChange = 0, worstNote = 0;
  int program = 0;
  for (auto _ : state) {
    program = (program + 7) % 128;
    const auto t0 = Clock::now();
    synth.midiOutShortMsg(packShortMessage(0xC0, static_cast<uint32_t>(program), 0));
    const auto t1 = Clock::now();
    synth.midiOutShortMsg(noteOnMessage(0, 60, 100));
    const auto t2 = Clock::now();
    synth.midiOutShortMsg(noteOnMessage(0, 60, 0));
    const double change = std::chrono::duration<double, std::milli>(t1 - t0).count();
    const double note = std::chrono::duration<double, std::micro>(t2 - t1).count();
    worstChange = std::max(worstChange, change);
    worstNote = std::max(worstNote, note);
    state.SetIterationTime(note / 1e6);
  }
  state.counters["program_change_max_ms"] = worstChange;
  state.counters["note_on_max_us"] = worstNote;
}
BENCHMARK(BM_FirstNoteOfANewlyChosenVoice)
    ->UseManualTime()
    ->Iterations(64)
    ->Unit(benchmark::kMicrosecond);

// Loading the soundfont happens once, when the output is made: this is what
// start-up pays so that a key press never does.
void BM_LoadSoundFont(benchmark::State& state) {
  for (auto _ : state) {
    FluidSynthOutput synth(offlineOptions());
    benchmark::DoNotOptimize(synth.soundFont());
  }
}
BENCHMARK(BM_LoadSoundFont)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvara

BENCHMARK_MAIN();
