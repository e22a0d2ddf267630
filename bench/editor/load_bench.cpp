// The load command on a large score: 11 parts x 2 000 bars of 4/4 eighth
// notes (176 000 records), every fourth note with a vibrato tail, read from
// its whole-score file over an editor that holds the same score, until the
// view shows page 1 and the editor takes the next key. Also the load and the
// view rebuild alone over work parts of growing length: the rebuild draws
// one page, so its time must not grow with the part.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <filesystem>
#include <string>

#include "editor/editor.h"
#include "editor/file_commands.h"
#include "files/zqf3_file.h"
#include "input/headless_controls.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "sound/null_midi_output.h"

namespace kelvara {
namespace {

constexpr int kNotesPerBar = 8;

// Silent answers: the load opens the file it is given.
struct Quiet : UserQuestions {
  void inform(const std::string&) override {}
  void error(const std::string& text) override { failure = text; }
  bool confirm(const std::string&, const std::string&) override { return true; }
  bool askYesNo(const std::string&) override { return true; }
  std::string failure;
};
struct OpenOnly : CommandDialogs {
  std::optional<PerPart<uint8_t>> chooseSaveParts(const PerPart<uint8_t>&) override { return {}; }
  std::optional<SaveDialogAnswer> saveDialog(const std::string&, int) override { return {}; }
  std::optional<std::string> openDialog(const std::string&) override { return {}; }
  int chooseOnePart(const std::string&, const std::string&) override { return 0; }
  std::optional<ScoreSettingsForm> editScoreSettings(const ScoreSettingsForm&) override {
    return {};
  }
  AuxiliaryOptions showCredit(const AuxiliaryOptions& shown,
                              const std::function<void(const AuxiliaryOptions&)>&) override {
    return shown;
  }
  UnsavedAnswer askUnsavedChanges(const std::string&) override { return UnsavedAnswer::Discard; }
  void setOverwriteEnabled(bool) override {}
};

// The editor as the window has it, without the window.
struct Session {
  Session() : editor(view, controls, midi, questions), files(editor, dialogs) {
    editor.FormCreate({"", false, KELVARA_GLYPH_DIR});
  }
  HeadlessScoreView view;
  HeadlessControls controls;
  NullMidiOutput midi;
  Quiet questions;
  OpenOnly dialogs;
  Editor editor;
  FileCommands files;
};

void fillPart(EditorState& s, int p, int bars, int& n) {
  TOnpu* end = endMarkerOf(s.PartHead[p]);
  for (int i = 0; i < bars * kNotesPerBar; ++i, ++n) {
    const int32_t pitch = p == kPercussionPart ? 35 + i % 12 : 48 + (i * 7 + p) % 36;
    TOnpu* r = makeRecord(pitch, 8, 1);
    if (n % 4 == 3) {
      r->YoinType = 2;
      r->YoinStartNum = 1;
      r->YoinStartDen = 32;
      r->YoinAmount = 50;
      r->YoinPeriod = 4;
    }
    linkBefore(end, r);
  }
}

// Writes a whole-score file whose work part (part 1) has `workBars` bars and
// every other part `otherBars`.
std::string writeScore(int workBars, int otherBars) {
  EditorState s;
  s.createLists();
  int n = 0;
  for (int p = 0; p < kPartCount; ++p) fillPart(s, p, p == 0 ? workBars : otherBars, n);
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kelvara-load-bench-" + std::to_string(::getpid()) + "-" +
                             std::to_string(workBars) + "-" + std::to_string(otherBars) + ".zqf3"))
                               .string();
  if (!savedataplus2(s, path).ok()) return {};
  return path;
}

// The 176 000-record score, loaded over itself: the old score is freed, the
// new one read, the page drawn and the output reopened.
void BM_LoadLargeScore(benchmark::State& state) {
  const std::string file = writeScore(2000, 2000);
  Session w;
  w.files.openFile(file);
  for (auto _ : state) {
    if (!w.files.openFile(file)) state.SkipWithError(w.questions.failure.c_str());
  }
  int64_t records = 0;
  for (int p = 0; p < kPartCount; ++p) {
    for (TOnpu* r = firstRecordOf(w.editor.state().PartHead[p]); !isEndMarker(*r); r = r->Next) {
      ++records;
    }
  }
  state.counters["records"] = static_cast<double>(records);
  std::filesystem::remove(file);
}
BENCHMARK(BM_LoadLargeScore)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// The load with only the work part growing (the other ten parts hold 16 bars).
void BM_LoadByWorkPartLength(benchmark::State& state) {
  const auto bars = static_cast<int>(state.range(0));
  const std::string file = writeScore(bars, 16);
  Session w;
  for (auto _ : state) {
    if (!w.files.openFile(file)) state.SkipWithError(w.questions.failure.c_str());
  }
  state.SetComplexityN(bars);
  std::filesystem::remove(file);
}
BENCHMARK(BM_LoadByWorkPartLength)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// The view rebuild of a load alone (a new score uses the same one): page 1 of
// a loaded work part of growing length.
void BM_ViewRebuildByWorkPartLength(benchmark::State& state) {
  const auto bars = static_cast<int>(state.range(0));
  const std::string file = writeScore(bars, 0);
  Session w;
  w.files.openFile(file);
  EditorState& s = w.editor.state();
  for (auto _ : state) {
    s.CurNode[0] = firstRecordOf(s.PartHead[0]);
    s.BarNo[0] = 1;
    s.BarFill[0] = 0;
    s.PageNode = s.CurNode[0];
    w.editor.renderer().resetPictureWidth();
    w.editor.renderer().PageDraw();
  }
  state.SetComplexityN(bars);
  std::filesystem::remove(file);
}
BENCHMARK(BM_ViewRebuildByWorkPartLength)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();

}  // namespace
}  // namespace kelvara

int main(int argc, char** argv) {
  // The keyboard picture's letters need fonts: a display-less application.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
