// What a player feels: the time from a key event arriving at the editor
// window to the note-on handed to the MIDI output, and the time until the
// window has handled the press (the score redrawn into its picture) and
// until it is painted on screen.
//
// Each press goes to the focused note-entry box through the application's
// event delivery, on a score whose page is full (16 bars of eighth notes),
// with the cursor at the start of the page (the longest redraw) or in its
// middle. Every press is followed by its release and by Escape, which takes
// the entered note out again, so that every press meets the same page.
// Times are per press; the percentiles are over the measured presses.
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "app/main_window.h"
#include "sound/midi_output.h"

namespace {

using Clock = std::chrono::steady_clock;

// A MIDI output that notes when the first note-on after arm() arrives.
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
  bool armed_ = false;
  Clock::time_point noteOnAt_;
};

// A key event as the X11 window system delivers it: with the key's place.
QKeyEvent keyEvent(QEvent::Type type, Qt::Key key, quint32 evdev, const QString& text) {
  constexpr quint32 kX11 = 8;
  return QKeyEvent(type, key, Qt::NoModifier, evdev + kX11, 0, 0, text);
}

void send(QWidget* to, QEvent::Type type, Qt::Key key, quint32 evdev, const QString& text = {}) {
  QKeyEvent e = keyEvent(type, key, evdev, text);
  QApplication::sendEvent(to, &e);
}

double micros(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const auto i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

constexpr quint32 kEvdevC = 46;
constexpr quint32 kEvdevV = 47;
constexpr quint32 kEvdevEscape = 1;
constexpr quint32 kEvdevLeft = 105;
constexpr int kWarmUp = 50;

// argument 0: the cursor at the start of the page; 1: in its middle.
void BM_KeyPressToNoteOn(benchmark::State& state) {
  StampingOutput midi;
  kelvara::TForm1::Options options;
  options.settingsPath =
      (std::filesystem::temp_directory_path() / "kelvara-bench-absent.ini").string();
  options.glyphFolder = SOURCE_DIR "/onpu";
  kelvara::TForm1 window(midi, options);
  if (!window.FormCreate()) {
    state.SkipWithError("the window did not start");
    return;
  }
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) {
    state.SkipWithError("the window was not shown");
    return;
  }
  auto* edit1 = window.findChild<QLineEdit*>(QStringLiteral("Edit1"));
  if (edit1 == nullptr) {
    state.SkipWithError("no note-entry box");
    return;
  }

  // A full page: 128 eighth notes, alternating so that none lengthens the last.
  for (int i = 0; i < 128; ++i) {
    const bool c = i % 2 == 0;
    send(edit1, QEvent::KeyPress, c ? Qt::Key_C : Qt::Key_V, c ? kEvdevC : kEvdevV, c ? "c" : "v");
    send(edit1, QEvent::KeyRelease, c ? Qt::Key_C : Qt::Key_V, c ? kEvdevC : kEvdevV,
         c ? "c" : "v");
  }
  const int back = state.range(0) == 0 ? 128 : 64;
  for (int i = 0; i < back; ++i) send(edit1, QEvent::KeyPress, Qt::Key_Left, kEvdevLeft);
  QApplication::processEvents();

  std::vector<double> toNoteOn, handled, painted;
  const auto total = static_cast<size_t>(state.max_iterations);
  toNoteOn.reserve(total);
  handled.reserve(total);
  painted.reserve(total);
  auto onePress = [&](bool keep) {
    // "b": a pitch that neither neighbour has, so the press always enters a note.
    QKeyEvent press = keyEvent(QEvent::KeyPress, Qt::Key_B, 48, QStringLiteral("b"));
    midi.arm();
    const Clock::time_point sent = Clock::now();
    QApplication::sendEvent(edit1, &press);
    const Clock::time_point returned = Clock::now();
    QApplication::processEvents();
    const Clock::time_point shown = Clock::now();
    if (keep) {
      if (!midi.sounded()) state.SkipWithError("the key press sounded nothing");
      toNoteOn.push_back(micros(midi.noteOnAt() - sent));
      handled.push_back(micros(returned - sent));
      painted.push_back(micros(shown - sent));
      state.SetIterationTime(std::chrono::duration<double>(midi.noteOnAt() - sent).count());
    }
    send(edit1, QEvent::KeyRelease, Qt::Key_B, 48, QStringLiteral("b"));
    send(edit1, QEvent::KeyPress, Qt::Key_Escape, kEvdevEscape);
    send(edit1, QEvent::KeyRelease, Qt::Key_Escape, kEvdevEscape);
  };
  for (int i = 0; i < kWarmUp; ++i) onePress(false);
  for (auto _ : state) onePress(true);

  state.counters["note_on_p50_us"] = percentile(toNoteOn, 0.50);
  state.counters["note_on_p99_us"] = percentile(toNoteOn, 0.99);
  state.counters["note_on_max_us"] = percentile(toNoteOn, 1.0);
  state.counters["handled_p50_us"] = percentile(handled, 0.50);
  state.counters["handled_p99_us"] = percentile(handled, 0.99);
  state.counters["painted_p50_us"] = percentile(painted, 0.50);
  state.counters["painted_p99_us"] = percentile(painted, 0.99);
}
BENCHMARK(BM_KeyPressToNoteOn)
    ->ArgName("cursor_mid_page")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
