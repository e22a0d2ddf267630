// What the selection commands cost on a long part, headless, with the
// pictures of the source tree's glyph folder. The part holds 4 000 bars of
// eighth notes (32 000 records); the cursor stands on its last page.
//
// OrderSelection: finding which end of a three-record selection at the part's
// end comes first (a walk over the live list, so stale ends are never
// followed).
// TupletAndRelease: "4分音符" on those three records and "解除" again, each
// with the bar position counted from the part's start and the page redrawn.
// ClickOnLastPage: a left click at the right end of the last page.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "editor/editor.h"
#include "input/headless_controls.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "sound/recording_midi_output.h"

namespace kelvara {
namespace {

constexpr int kBars = 4000;

class SilentQuestions : public UserQuestions {
 public:
  void inform(const std::string&) override {}
  void error(const std::string&) override {}
  bool confirm(const std::string&, const std::string&) override { return false; }
  bool askYesNo(const std::string&) override { return false; }
};

struct LongPart {
  LongPart() : editor(view, controls, midi, questions) {
    editor.FormCreate({"", false, KELVARA_GLYPH_DIR});
    EditorState& s = editor.state();
    TOnpu* end = endMarkerOf(s.PartHead[0]);
    for (int i = 0; i < kBars * 8; ++i) linkBefore(end, makeRecord(60 + i % 12, 8, 1));
    s.CurNode[0] = end->Prev->Prev->Prev;
    s.recountBarPosition(0);
    editor.renderer().PageDraw();
    // Three records selected with Shift+Right.
    for (int i = 0; i < 3; ++i) editor.input().FormKeyDown(vk::kRight, {.shift = true});
  }

  HeadlessScoreView view;
  HeadlessControls controls;
  RecordingMidiOutput midi{1};
  SilentQuestions questions;
  Editor editor;
};

void OrderSelection(benchmark::State& state) {
  LongPart w;
  for (auto _ : state) benchmark::DoNotOptimize(w.editor.score().selection().ordered());
}
BENCHMARK(OrderSelection)->Unit(benchmark::kMicrosecond);

void TupletAndRelease(benchmark::State& state) {
  LongPart w;
  EditorState& s = w.editor.state();
  const auto anchor = s.SelAnchorNode;
  const auto anchorX = s.SelAnchorX;
  const auto anchorPage = s.SelAnchorPage;
  const auto end = s.SelEndNode;
  const auto endX = s.SelEndX;
  const auto endPage = s.SelEndPage;
  auto reselect = [&] {
    s.SelAnchorNode = anchor;
    s.SelAnchorX = anchorX;
    s.SelAnchorPage = anchorPage;
    s.SelEndNode = end;
    s.SelEndX = endX;
    s.SelEndPage = endPage;
    s.SelActive = 1;
  };
  for (auto _ : state) {
    reselect();
    w.editor.tuplets().Change_renpu(4);
    reselect();
    w.editor.tuplets().Change_renpu(0);
  }
}
BENCHMARK(TupletAndRelease)->Unit(benchmark::kMillisecond);

void ClickOnLastPage(benchmark::State& state) {
  LongPart w;
  for (auto _ : state) {
    w.editor.mouse().Image1MouseDown(MouseButton::Left, false, 100000);
    w.editor.mouse().Image1MouseUp(MouseButton::Left);
  }
}
BENCHMARK(ClickOnLastPage)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kelvara

// The keyboard picture draws its letters with a font: a GUI application
// (offscreen unless told otherwise) is made first.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
