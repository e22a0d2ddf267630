// The editor's start path inside the program: from making the window to the
// window shown with its first page drawn, with the built-in synthesizer
// loading the full General MIDI soundfont meanwhile (on its own thread, so
// it should not count here). Process start, library loading and the
// QApplication are not in it: tools/startup_time.py measures the whole way
// to the mapped window under X.
#include <benchmark/benchmark.h>

#include <QTest>
#include <chrono>
#include <filesystem>
#include <memory>

#include "app/main_window.h"
#include "sound/fluid_synth_output.h"
#include "sound/soundfont_search.h"

namespace {

using Clock = std::chrono::steady_clock;

void BM_WindowShownWhileTheSoundFontLoads(benchmark::State& state) {
  kelvara::TForm1::Options options;
  options.settingsPath =
      (std::filesystem::temp_directory_path() / "kelvara-bench-absent.ini").string();
  options.glyphFolder = SOURCE_DIR "/onpu";
  const std::vector<std::string> soundFonts =
      kelvara::findSoundFonts(kelvara::systemSoundFontFolders());
  for (auto _ : state) {
    kelvara::FluidSynthOptions synthOptions;
    synthOptions.soundFonts = soundFonts;
    synthOptions.realtime = false;
    synthOptions.loadInBackground = true;
    const Clock::time_point start = Clock::now();
    auto synth = std::make_unique<kelvara::FluidSynthOutput>(synthOptions);
    {
      kelvara::TForm1 window(*synth, options);
      window.show();
      if (!window.FormCreate() || !QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window did not start");
        return;
      }
      state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    synth.reset();  // waits for the load: not timed
  }
  state.SetLabel(soundFonts.empty() ? "no soundfont installed" : soundFonts.front());
}
BENCHMARK(BM_WindowShownWhileTheSoundFontLoads)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
