#include "score/selection.h"

#include "score/bar_math.h"
#include "score/part_list.h"
#include "score/score_editor.h"

namespace kelvara {

int32_t cursorPage(const EditorState& s) {
  const int p = s.WorkPart;
  const int32_t own = pageFirstBarFor(s.BarNo[p], s.BarsPerPage);
  if (own == s.PageFirstBar) return own;
  // A cursor at the very start of the bar after the page is shown at the
  // page's right end.
  if (s.BarNo[p] - s.BarsPerPage == s.PageFirstBar && s.BarFill[p] == 0) return s.PageFirstBar;
  return own;
}

void SelectionModel::grab() {
  const int p = s_.WorkPart;
  if (s_.SelActive) {
    // Cleared while the cursor moves, so that a page redraw on the way does
    // not draw the old highlight again.
    drawing_.DrawSel();
    s_.SelActive = 0;
    return;
  }
  s_.SelAnchorPage = cursorPage(s_);
  s_.SelAnchorNode = s_.CurNode[p];
  s_.SelAnchorX = s_.CursorX[p];
}

void SelectionModel::extendToCursor() {
  const int p = s_.WorkPart;
  s_.SelEndPage = cursorPage(s_);
  s_.SelEndNode = s_.CurNode[p];
  s_.SelEndX = s_.CursorX[p];
  if (s_.SelAnchorNode == s_.SelEndNode) {
    s_.SelActive = 0;
  } else {
    s_.SelActive = 1;
    drawing_.DrawSel();
  }
}

void SelectionModel::drop() {
  if (!s_.SelActive) return;
  s_.SelActive = 0;
  drawing_.DrawSel();
}

std::optional<SelectedRange> SelectionModel::ordered() const {
  if (!s_.SelActive) return std::nullopt;
  const TOnpu* head = s_.PartHead[s_.WorkPart];
  if (head == nullptr) return std::nullopt;
  TOnpu* const anchor = s_.SelAnchorNode;
  TOnpu* const end = s_.SelEndNode;
  if (anchor == end) return std::nullopt;
  // Find which end comes first by walking the live list; the end marker is a
  // valid later end (the cursor may stand on it), the start marker is not.
  TOnpu* first = nullptr;
  TOnpu* stop = nullptr;
  int32_t count = 0;
  for (TOnpu* r = head->Next->Next;; r = r->Next) {
    if (first == nullptr) {
      if (r == anchor || r == end) first = r;
    } else if (r == anchor || r == end) {
      stop = r;
      break;
    }
    if (first != nullptr) ++count;
    if (isEndMarker(*r)) break;
  }
  if (stop == nullptr) return std::nullopt;
  const bool anchorFirst = first == anchor;
  return SelectedRange{first,
                       stop,
                       anchorFirst ? s_.SelAnchorX : s_.SelEndX,
                       anchorFirst ? s_.SelAnchorPage : s_.SelEndPage,
                       anchorFirst,
                       count};
}

std::optional<SelectedRange> SelectionModel::take(ScoreView& view) {
  if (!s_.SelActive) return std::nullopt;
  std::optional<SelectedRange> range = ordered();
  s_.SelActive = 0;
  drawing_.DrawSel();
  eraseCursorMark(s_, view);
  return range;
}

}  // namespace kelvara
