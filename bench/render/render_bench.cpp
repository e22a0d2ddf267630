// Redraw speed of the score view, headless, with the pictures of the source
// tree's glyph folder.
//
// KeyPressOnFullPage: one sixteenth note typed at the start of a full page of
// sixteen bars of four-note sixteenth chords (256 records, a picture about
// 18 000 pixels wide), from InsertOnpu to the refreshed view, as a key press
// does after its note-on. The note is taken out again outside the timed part,
// so every iteration meets the same page. The note pushes the page's last
// chord into bar 17, so the page needs no more width; the "Widening" variant
// makes the picture one pixel too narrow beforehand, so that the key press
// also widens it and redraws a second time (the worst key press). The
// "Standard" variants draw the page in standard notation: the chords beamed
// four to a beat, so the key press regroups every beam of the page.
//
// PageDraw/N: the whole-page redraw of page N of a 4 000-bar part of the same
// chords (64 000 records); page 250 holds bars 3985 to 4000.
//
// RenderCommand/bars/bar: `kelvara render score.zqf3 page.png --bar <bar>` of a
// one-part score of <bars> bars (a quarter chord, two eighths and a half note
// a bar), from reading the file to writing the picture.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "editor/render_command.h"
#include "files/zqf3_file.h"
#include "render/drawing_log.h"

#include "render/glyph_table.h"
#include "render/page_renderer.h"
#include "score/bar_math.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "score/score_editor.h"

namespace kelvara {
namespace {

constexpr int32_t kSixteenth = 4;
constexpr int kChordsPerBar = 16;
constexpr int32_t kChord[] = {72, 67, 64, 60};  // C major, stem down

const GlyphTable& glyphs() {
  static const GlyphTable table = [] {
    GlyphTable t;
    const std::string error = t.load(KELVARA_GLYPH_DIR);
    if (!error.empty()) {
      std::cerr << error << "\n";
      std::exit(1);
    }
    return t;
  }();
  return table;
}

// An editor on part 1 with the pictures loaded and the empty page drawn.
struct Session {
  Session() : renderer(s, view, glyphs()), editor(s, renderer, view) {
    s.createLists();
    s.PageNode = endMarkerOf(s.PartHead[0]);
    renderer.initPicture();
    renderer.drawStartupFurniture();
  }

  EditorState s;
  HeadlessScoreView view;
  PageRenderer renderer;
  ScoreEditor editor;
};

// Types the chords of `bars` bars as chord input does: each pitch a key press
// followed by the refresh, then Shift to close the chord.
void typeChords(Session& w, int bars) {
  w.s.SingleInput = 0;
  for (int i = 0; i < bars * kChordsPerBar; ++i) {
    for (int32_t pitch : kChord) {
      w.editor.InsertOnpu(pitch, kSixteenth);
      w.editor.refreshAfterInput();
    }
    w.editor.rightshift();
  }
  w.s.SingleInput = 1;
}

// The narrowest picture that holds the first page: its records' widths, the
// markers' and the free width kept after the content.
int32_t neededWidth(const EditorState& s) {
  int32_t sum = 0;
  int64_t shares = 0;
  for (const TOnpu* r = s.PartHead[0];
       !isEndMarker(*r) && shares < int64_t{s.BarLen()} * s.BarsPerPage; r = r->Next) {
    sum += r->Width;
    shares += barContribution(*r);
  }
  return sum + 290;
}

// What a note key does after its note-on. Kept out of line so that a profiler
// can be told to count this part alone (callgrind --toggle-collect='*pressKey*').
[[gnu::noinline]] void pressKey(Session& w) {
  w.editor.InsertOnpu(60, kSixteenth);
  w.editor.refreshAfterInput();
}

void keyPressOnFullPage(benchmark::State& state, bool widening, bool logged = false,
                        bool standard = false) {
  Session w;
  w.s.StandardNotation = standard;
  // As on a screen of two device pixels a pixel: the picture notes what it draws.
  DrawingLog log;
  if (logged) w.renderer.picture().setLog(&log);
  typeChords(w, 16);
  while (w.s.CurNode[0]->Prev->Pitch[0] != kStartMarker) w.editor.left();
  const int32_t narrow = neededWidth(w.s) - 1;
  for (auto _ : state) {
    if (widening) {
      state.PauseTiming();
      // One pixel narrower than the page needs: the key press widens it.
      w.renderer.picture().setWidth(narrow);
      w.view.setViewWidth(narrow);
      state.ResumeTiming();
    }
    pressKey(w);
    state.PauseTiming();
    w.editor.EscapeOnpu();
    state.ResumeTiming();
  }
  state.counters["picture_px"] = w.renderer.picture().width();
  if (logged) state.counters["log_ops"] = static_cast<double>(log.ops.size());
  w.renderer.picture().setLog(nullptr);
}

void BM_KeyPressOnFullPage(benchmark::State& state) {
  keyPressOnFullPage(state, false);
}
BENCHMARK(BM_KeyPressOnFullPage)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_KeyPressOnFullPageLogged(benchmark::State& state) {
  keyPressOnFullPage(state, false, true);
}
BENCHMARK(BM_KeyPressOnFullPageLogged)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_KeyPressOnFullPageWidening(benchmark::State& state) {
  keyPressOnFullPage(state, true);
}
BENCHMARK(BM_KeyPressOnFullPageWidening)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_KeyPressOnFullPageStandard(benchmark::State& state) {
  keyPressOnFullPage(state, false, false, true);
}
BENCHMARK(BM_KeyPressOnFullPageStandard)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_KeyPressOnFullPageStandardWidening(benchmark::State& state) {
  keyPressOnFullPage(state, true, false, true);
}
BENCHMARK(BM_KeyPressOnFullPageStandardWidening)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A 4 000-bar part built directly (typing it would take minutes), its first
// page drawn.
struct LongPart : Session {
  LongPart() {
    TOnpu* end = endMarkerOf(s.PartHead[0]);
    for (int i = 0; i < 4000 * kChordsPerBar; ++i) {
      TOnpu* r = makeRecord(kChord[0], kSixteenth, 1);
      for (int k = 1; k < 4; ++k) r->Pitch[k] = kChord[k];
      r->LastIndex = 3;
      linkBefore(end, r);
    }
    s.CurNode[0] = firstRecordOf(s.PartHead[0]);
    s.PageNode = s.CurNode[0];
    renderer.PageDraw();
  }
};

Session& longPart() {
  static LongPart w;
  return w;
}

// Puts the cursor on the first record of `bar`, as the page buttons walk.
void cursorToBar(EditorState& s, int32_t bar) {
  TOnpu* node = firstRecordOf(s.PartHead[0]);
  s.CursorX[0] = 0;
  s.BarNo[0] = 1;
  s.BarFill[0] = 0;
  while (s.BarNo[0] < bar && !isEndMarker(*node)) {
    s.CursorX[0] += node->Width;
    advanceBar(s.BarNo[0], s.BarFill[0], barContribution(*node), s.BarLen());
    node = node->Next;
  }
  s.CurNode[0] = node;
}

void BM_PageDraw(benchmark::State& state) {
  Session& w = longPart();
  const auto page = static_cast<int32_t>(state.range(0));
  cursorToBar(w.s, (page - 1) * w.s.BarsPerPage + 1);
  w.renderer.PageDraw();  // widen once, outside the timing
  for (auto _ : state) {
    w.renderer.PageDraw();
  }
  if (w.s.PageFirstBar != (page - 1) * w.s.BarsPerPage + 1) state.SkipWithError("wrong page");
  state.counters["picture_px"] = w.renderer.picture().width();
}
BENCHMARK(BM_PageDraw)
    ->Arg(1)
    ->Arg(250)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A score file of `bars` bars in a temporary folder, written once per size.
std::string scoreFile(int32_t bars) {
  static std::map<int32_t, std::string> files;
  if (auto it = files.find(bars); it != files.end()) return it->second;
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("kelvara-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  EditorState s;
  s.createLists();
  TOnpu* end = endMarkerOf(s.PartHead[0]);
  for (int32_t bar = 0; bar < bars; ++bar) {
    TOnpu* chord = makeRecord(kChord[0], 16, 1);
    for (int k = 1; k < 4; ++k) chord->Pitch[k] = kChord[k];
    chord->LastIndex = 3;
    linkBefore(end, chord);
    linkBefore(end, makeRecord(62, 8, 1));
    linkBefore(end, makeRecord(64, 8, 1));
    linkBefore(end, makeRecord(67, 32, 1));
  }
  const std::string path = (folder / ("score-" + std::to_string(bars) + ".zqf3")).string();
  if (!savedataplus2(s, path).ok()) {
    std::cerr << "cannot write " << path << "\n";
    std::exit(1);
  }
  files[bars] = path;
  return path;
}

void BM_RenderCommand(benchmark::State& state) {
  const auto bars = static_cast<int32_t>(state.range(0));
  const std::string bar = std::to_string(state.range(1));
  const std::string input = scoreFile(bars);
  const std::string output =
      (std::filesystem::path(input).parent_path() / ("page-" + bar + ".png")).string();
  std::ostringstream out;
  std::ostringstream err;
  for (auto _ : state) {
    if (runRenderCommand({input, output, "--bar", bar}, KELVARA_GLYPH_DIR, out, err) != 0) {
      state.SkipWithError(err.str().c_str());
      break;
    }
  }
}
BENCHMARK(BM_RenderCommand)
    ->Args({2100, 1})
    ->Args({2100, 2001})
    ->Args({100000, 1})
    ->Args({100000, 100000})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

}  // namespace
}  // namespace kelvara

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                              ("kelvara-bench-" + std::to_string(::getpid())));
  return 0;
}
