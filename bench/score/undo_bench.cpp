// The undo bookkeeping a key press adds, on a part of 2 000 bars of 4/4
// eighth notes (16 000 records) with the cursor in its middle: the same note
// entry and close with and without its undo step. The difference between the
// two is the bookkeeping; it must not grow with the part's length.
#include <benchmark/benchmark.h>

#include "score/editor_state.h"
#include "score/headless_score_view.h"
#include "score/null_score_drawing.h"
#include "score/part_list.h"
#include "score/score_editor.h"
#include "score/undo_history.h"

namespace {

using namespace kelvara;

struct Fixture {
  explicit Fixture(int bars) : editor(s, drawing, view) {
    s.createLists();
    TOnpu* end = endMarkerOf(s.PartHead[0]);
    TOnpu* middle = end;
    for (int i = 0; i < bars * 8; ++i) {
      TOnpu* r = makeRecord(60 + i % 12, 8, 1);
      linkBefore(end, r);
      if (i == bars * 4) middle = r;
    }
    s.CurNode[0] = middle;
    s.recountBarPosition(0);
    s.PageNode = middle;
  }
  EditorState s;
  HeadlessScoreView view;
  NullScoreDrawing drawing;
  ScoreEditor editor;
};

void BM_KeyPressWithoutUndo(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    f.editor.InsertOnpu(64, 8);
    f.editor.rightshift();
  }
}
BENCHMARK(BM_KeyPressWithoutUndo)->Arg(2000)->Arg(200);

void BM_KeyPressWithUndoStep(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  UndoHistory history(f.s);
  for (auto _ : state) {
    TOnpu* c = f.s.CurNode[0];
    history.beginLocal(0, c->Prev, c);
    f.editor.InsertOnpu(64, 8);
    history.commit();
    c = f.s.CurNode[0];
    history.beginLocal(0, c->Prev, c);
    f.editor.rightshift();
    history.commit();
  }
  state.counters["steps"] = static_cast<double>(history.undoCount());
}
BENCHMARK(BM_KeyPressWithUndoStep)->Arg(2000)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
