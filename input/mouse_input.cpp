#include "input/mouse_input.h"

#include "score/bar_math.h"
#include "score/selection.h"

namespace kelvara {

void MouseInput::passRecord(TOnpu* r) {
  const int p = s_.WorkPart;
  for (int k = 0; k < kLetters; ++k) s_.AccState[k] += r->AccDelta[k];
  s_.CursorX[p] += r->Width;
  advanceBar(s_.BarNo[p], s_.BarFill[p], barContribution(*r), s_.BarLen());
}

void MouseInput::locate(int32_t x) {
  const int p = s_.WorkPart;
  // Any click completes an open chord.
  s_.CurNode[p]->Closed = 1;
  TOnpu* node = s_.PageNode;
  drawing_.DrawTyou();  // the accidental state of the page start
  s_.CursorX[p] = s_.PageX;
  s_.BarFill[p] = s_.PageFill;
  s_.BarNo[p] = s_.PageBar;
  const int32_t lastBar = s_.PageFirstBar + s_.BarsPerPage;
  int64_t right = static_cast<int64_t>(s_.PageX) + node->Width;
  while (right < x && !isEndMarker(*node) && s_.BarNo[p] < lastBar) {
    passRecord(node);
    node = node->Next;
    right += node->Width;
  }
  // The first record may begin in the bar before the page; the cursor never
  // lands on it, and passing it keeps the bar position exact.
  if (s_.PageBar != s_.PageFirstBar && node == s_.PageNode && !isEndMarker(*node)) {
    passRecord(node);
    node = node->Next;
  }
  s_.CurNode[p] = node;
  // Right of a last record that runs into the next page the cursor would
  // leave the page: it stays before that record.
  if (cursorPage(s_) != s_.PageFirstBar && node->Prev != s_.PageNode) score_.passLeft(node->Prev);
}

void MouseInput::moveCursorTo(int32_t x) {
  score_.eraseCursorMark();
  locate(x);
  // Only a page start far in the past (one record longer than the page)
  // can still leave the cursor off the page: show the cursor's page then.
  score_.pageFollow();
}

void MouseInput::Image1MouseDown(MouseButton button, bool shift, int32_t x) {
  if (s_.Busy) return;
  s_.Busy = 1;
  if (button == MouseButton::Left && !shift) {
    s_.MouseHeld = 1;
    score_.selection().drop();
    moveCursorTo(x);
  } else if (button == MouseButton::Left) {
    SelectionModel& selection = score_.selection();
    selection.grab();
    moveCursorTo(x);
    selection.extendToCursor();
  } else if (button == MouseButton::Right) {
    TOnpu* c = s_.CurNode[s_.WorkPart];
    if (c->Closed == 0) {
      // The cursor mark's shape depends on the Closed byte.
      score_.eraseCursorMark();
      c->Closed = 1;
    }
  }
  s_.Busy = 0;
}

void MouseInput::Image1MouseMove(int32_t x) {
  if (s_.MouseHeld != 1 || s_.Busy) return;
  s_.Busy = 1;
  SelectionModel& selection = score_.selection();
  selection.grab();
  moveCursorTo(x);
  selection.extendToCursor();
  s_.Busy = 0;
}

void MouseInput::Image1MouseUp(MouseButton button) {
  if (button == MouseButton::Left) s_.MouseHeld = 0;
}

}  // namespace kelvara
