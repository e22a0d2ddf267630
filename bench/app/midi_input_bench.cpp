// What a player at a MIDI keyboard feels: the time from a note-on arriving on
// the input's thread to the note handed to the MIDI output, and until the
// record has been entered and drawn into the score picture on the UI thread.
//
// The editor window idles in its event loop as it does between notes; each
// note-on is played from a thread of its own, as RtMidi's thread delivers it,
// and crosses to the UI thread through the window's queue. The score's page
// is full (16 bars of eighth notes) with the cursor at its start, the longest
// redraw. Each measured note is taken out again (Escape) so that every note
// meets the same page.
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "score/part_list.h"
#include "sound/fake_midi_input.h"
#include "sound/midi_output.h"

namespace {

using Clock = std::chrono::steady_clock;

// A MIDI output that notes when the first note-on after arm() arrives (on
// whichever thread sends it).
class StampingOutput : public kelvara::MidiOutput {
 public:
  int midiOutGetNumDevs() override { return 1; }
  std::string midiOutGetDevCaps(int device) override { return device == 0 ? "stamp" : ""; }
  bool midiOutOpen(int /*device*/) override { return true; }
  void midiOutShortMsg(uint32_t message) override {
    if (armed_ && kelvara::unpackShortMessage(message).isNoteOn()) {
      noteOnAt_ = Clock::now();
      armed_ = false;
    }
  }
  void midiOutClose() override {}

  void arm() { armed_ = true; }
  bool sounded() const { return !armed_; }
  Clock::time_point noteOnAt() const { return noteOnAt_; }

 private:
  std::atomic<bool> armed_ = false;
  Clock::time_point noteOnAt_;
};

double micros(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const auto i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

int recordCount(kelvara::EditorState& s) {
  int n = 0;
  for (kelvara::TOnpu* r = kelvara::firstRecordOf(s.PartHead[s.WorkPart]);
       !kelvara::isEndMarker(*r); r = r->Next) {
    ++n;
  }
  return n;
}

constexpr int kWarmUp = 50;
constexpr char kPort[] = "Keys:Keys MIDI 1 24:0";

void BM_MidiNoteOnToOutputAndScore(benchmark::State& state) {
  StampingOutput midi;
  kelvara::FakeMidiInput input;
  input.present = {{kPort, "Keys MIDI 1"}};
  kelvara::TForm1::Options options;
  options.settingsPath =
      (std::filesystem::temp_directory_path() / "kelvara-bench-absent.ini").string();
  options.glyphFolder = SOURCE_DIR "/onpu";
  options.midiInput = &input;
  kelvara::TForm1 window(midi, options);
  if (!window.FormCreate() || !window.midiInput().choose(kPort)) {
    state.SkipWithError("the window or its MIDI input did not start");
    return;
  }
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) {
    state.SkipWithError("the window was not shown");
    return;
  }
  kelvara::Editor& editor = window.editor();
  kelvara::EditorState& s = editor.state();

  // A full page: 128 eighth notes alternating so that none lengthens the last.
  for (int i = 0; i < 128; ++i) {
    editor.score().InsertOnpu(i % 2 == 0 ? 60 : 62, 8);
    editor.score().rightshift();
  }
  for (int i = 0; i < 128; ++i) editor.score().left();
  QApplication::processEvents();

  std::vector<double> toOutput, toScore;
  const auto total = static_cast<size_t>(state.max_iterations);
  toOutput.reserve(total);
  toScore.reserve(total);
  auto oneNote = [&](bool keep) {
    const int before = recordCount(s);
    midi.arm();
    Clock::time_point sent;
    std::thread player([&] {
      sent = Clock::now();
      input.play({0x90, 59, 100});
    });
    // The UI thread waits in its event loop until the note has been entered.
    while (recordCount(s) == before) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const Clock::time_point entered = Clock::now();
    player.join();
    if (keep) {
      if (!midi.sounded()) state.SkipWithError("the note-on sounded nothing");
      toOutput.push_back(micros(midi.noteOnAt() - sent));
      toScore.push_back(micros(entered - sent));
      state.SetIterationTime(std::chrono::duration<double>(midi.noteOnAt() - sent).count());
    }
    input.play({0x80, 59, 0});
    QApplication::processEvents();
    editor.score().EscapeOnpu();
    // The window is painted before the next note, as it is between notes played.
    QApplication::sendPostedEvents();
    QApplication::processEvents();
  };
  for (int i = 0; i < kWarmUp; ++i) oneNote(false);
  for (auto _ : state) oneNote(true);

  state.counters["output_p50_us"] = percentile(toOutput, 0.50);
  state.counters["output_p99_us"] = percentile(toOutput, 0.99);
  state.counters["output_max_us"] = percentile(toOutput, 1.0);
  state.counters["entered_drawn_p50_us"] = percentile(toScore, 0.50);
  state.counters["entered_drawn_p99_us"] = percentile(toScore, 0.99);
}
BENCHMARK(BM_MidiNoteOnToOutputAndScore)
    ->Iterations(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
