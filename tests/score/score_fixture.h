#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "score/bar_math.h"
#include "score/editor_state.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "score/score_editor.h"
#include "support/tuplets.h"

namespace kelvara::testing {

// Stands in for the renderer: remembers what was asked of it. A page redraw
// moves the page to the cursor's bar, as the real one does.
class RecordingDrawing : public ScoreDrawing {
 public:
  explicit RecordingDrawing(EditorState& s) : s_(s) {}
  int32_t DrawGakuhu() override {
    ++drawGakuhu;
    s_.PageFirstBar = pageFirstBarFor(s_.BarNo[s_.WorkPart], s_.BarsPerPage);
    return endX;
  }
  int32_t DrawFromIti() override {
    ++drawFromIti;
    s_.CursorOff = 1;
    return endX;
  }
  int32_t PageDraw() override {
    ++pageDraw;
    return DrawGakuhu();
  }
  bool ChkGakuhu() override { return chkGakuhuWidens-- > 0; }
  bool ChkGakuhu2() override { return false; }
  void RedrawPage() override {
    ++redrawPage;
    DrawGakuhu();
  }
  void wipeStaff(int32_t x, int32_t width) override { wipes.push_back({x, width}); }
  void DrawTyou() override {}
  void DrawSel() override {}
  void resetPictureWidth() override {}

  int drawGakuhu = 0, drawFromIti = 0, pageDraw = 0, redrawPage = 0;
  int chkGakuhuWidens = 0;
  int32_t endX = 500;
  std::vector<std::pair<int32_t, int32_t>> wipes;

 private:
  EditorState& s_;
};

class ScoreTest : public ::testing::Test {
 protected:
  ScoreTest() : drawing(s), editor(s, drawing, view) {
    s.createLists();
    s.PageNode = s.CurNode[0];
  }

  TOnpu* head(int part = 0) { return s.PartHead[part]; }
  TOnpu* first(int part = 0) { return firstRecordOf(s.PartHead[part]); }
  TOnpu* cur() { return s.CurNode[s.WorkPart]; }

  // Appends a closed record before the end marker, as a loaded file would.
  TOnpu* append(int32_t pitch, int32_t length, int part = 0) {
    TOnpu* r = makeRecord(pitch, length, 1);
    linkBefore(endMarkerOf(s.PartHead[part]), r);
    return r;
  }

  // Puts the cursor line before the part's first record, at the page start.
  void cursorToStart(int part = 0) {
    s.CurNode[part] = first(part);
    s.BarNo[part] = 1;
    s.BarFill[part] = 0;
    s.CursorX[part] = kMusicLeft;
    s.PageNode = first(part);
  }

  // Makes the records from `from` on one tuplet group lasting span 64ths.
  // The pitches of a part's records in order (0 for rests).
  std::vector<int32_t> leadPitches(int part = 0) {
    std::vector<int32_t> out;
    for (TOnpu* r = first(part); !isEndMarker(*r); r = r->Next) out.push_back(r->Pitch[0]);
    return out;
  }

  void moveRight(int times) {
    for (int i = 0; i < times; ++i) editor.right();
  }

  EditorState s;
  HeadlessScoreView view;
  RecordingDrawing drawing;
  ScoreEditor editor;
};

}  // namespace kelvara::testing
