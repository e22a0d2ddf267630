#include <optional>

#include "score/bar_math.h"
#include "score/part_list.h"
#include "score/score_editor.h"
#include "score/spelling.h"
#include "score/undo_scope.h"

namespace kelvara {

namespace {
constexpr int32_t kCursorBottom = kScoreHeight - 1;
constexpr int32_t kScrollFarMargin = 600;
constexpr int32_t kScrollFarTarget = 550;
constexpr int32_t kScrollNearMargin = 100;
constexpr int32_t kScrollNearTarget = 150;
}  // namespace

void ScoreEditor::passRight(TOnpu* r) {
  const int p = s_.WorkPart;
  advanceBar(s_.BarNo[p], s_.BarFill[p], barContribution(*r), s_.BarLen());
  for (int k = 0; k < kLetters; ++k) s_.AccState[k] += r->AccDelta[k];
  s_.CursorX[p] += r->Width;
  s_.CurNode[p] = r->Next;
}

void ScoreEditor::passLeft(TOnpu* r) {
  const int p = s_.WorkPart;
  retreatBar(s_.BarNo[p], s_.BarFill[p], barContribution(*r), s_.BarLen());
  for (int k = 0; k < kLetters; ++k) s_.AccState[k] -= r->AccDelta[k];
  s_.CursorX[p] -= r->Width;
  s_.CurNode[p] = r;
}

void toggleCursorMark(EditorState& s, ScoreView& view) {
  const int p = s.WorkPart;
  const int32_t x = s.CursorX[p];
  view.invertLine({x, 0, x, kCursorBottom});
  const TOnpu* c = s.CurNode[p];
  if (c != nullptr && c->Closed == 0) {
    const int32_t right = x + c->Width;
    view.invertLine({x, kCursorBottom, right, kCursorBottom});
    view.invertLine({right, kCursorBottom, right, 0});
    view.invertLine({right, 0, x, 0});
  }
  s.CursorOff = static_cast<uint8_t>(1 - s.CursorOff);
}

void eraseCursorMark(EditorState& s, ScoreView& view) {
  if (s.CursorOff == 0) toggleCursorMark(s, view);
}

void ScoreEditor::scrollFollow() {
  const int32_t scroll = view_.scrollX();
  const int32_t x = s_.CursorX[s_.WorkPart];
  const int32_t extra = extraViewRoom(view_);
  if (x - scroll > kScrollFarMargin + extra) {
    view_.setScrollX(x - kScrollFarTarget - extra);
  } else if (x - scroll < kScrollNearMargin) {
    view_.setScrollX(x - kScrollNearTarget);
  }
}

// The accidentals in force at the cursor of the work part counted from the
// key signature at the start of the page shown, by the changes its records
// made when the page was drawn. The walk goes back from the cursor over the
// page's records only (the page's first record is compared, never followed);
// the state is unchanged when the cursor is not on the page.
void ScoreEditor::recountAccidentalsOnPage() {
  const int p = s_.WorkPart;
  const int32_t barLen = s_.BarLen();
  LetterAccidentals inForce = keyAccidentals(s_.KeySig);
  int32_t bar = s_.BarNo[p];
  int32_t fill = s_.BarFill[p];
  const TOnpu* r = s_.CurNode[p];
  while (r != s_.PageNode) {
    r = r->Prev;
    if (r == nullptr || r->Pitch[0] < -1) return;  // the start marker: not on the page
    retreatBar(bar, fill, barContribution(*r), barLen);
    if (bar < s_.PageFirstBar && r != s_.PageNode) return;
    for (int k = 0; k < kLetters; ++k) inForce[k] += r->AccDelta[k];
  }
  s_.AccState = inForce;
}

bool ScoreEditor::pageFollow() {
  const int p = s_.WorkPart;
  // A move that stays on the page shown keeps the page; the accidentals are
  // counted on it, since a record running into the page from the one before
  // changes them there as this page drew it, not as the page before did.
  if (s_.PageFirstBar == pageFirstBarFor(s_.BarNo[p], s_.BarsPerPage)) {
    recountAccidentalsOnPage();
    return false;
  }
  // A cursor exactly at the start of the next page's first bar stays at the
  // right end of the current page.
  if (s_.PageFirstBar + s_.BarsPerPage == s_.BarNo[p] && s_.BarFill[p] == 0) {
    recountAccidentalsOnPage();
    return false;
  }
  drawing_.PageDraw();
  scrollFollow();
  return true;
}

void ScoreEditor::closeRecord(TOnpu* c) {
  c->Closed = 1;
}

void ScoreEditor::recordClosing(std::optional<UndoScope>& undo, TOnpu* c) {
  if (c->Closed != 0) return;
  // Closing the record being entered finishes its entry: the close and the
  // move belong to the entry's undo step. After an undo the record is closed
  // outside the history: a close changes no note a file keeps, and the steps
  // that can be done again stay.
  if (s_.Undo != nullptr && s_.Undo->canRedo()) {
    s_.Undo->noteClosed(c);
    return;
  }
  undo.emplace(s_, s_.WorkPart, c, c, /*join=*/true);
}

void ScoreEditor::right() {
  TOnpu* c = s_.CurNode[s_.WorkPart];
  std::optional<UndoScope> undo;
  recordClosing(undo, c);
  if (!isEndMarker(*c)) {
    eraseCursorMark();
    closeRecord(c);
    passRight(c);
    scrollFollow();
  }
  pageFollow();
}

void ScoreEditor::left() {
  TOnpu* c = s_.CurNode[s_.WorkPart];
  std::optional<UndoScope> undo;
  recordClosing(undo, c);
  if (c->Closed == 1) {
    TOnpu* q = c->Prev;
    if (q->Pitch[0] > -4) {
      eraseCursorMark();
      passLeft(q);
      scrollFollow();
    }
  } else {
    eraseCursorMark();
    closeRecord(c);
  }
  pageFollow();
}

void ScoreEditor::rightshift() {
  TOnpu* c = s_.CurNode[s_.WorkPart];
  if (c->Closed != 0) return;  // no open record: nothing changes, nothing is recorded
  std::optional<UndoScope> undo;
  recordClosing(undo, c);
  eraseCursorMark();
  closeRecord(c);
  passRight(c);
  pageFollow();
}

void ScoreEditor::selectWorkPart(int item) {
  s_.Busy = 1;
  eraseCursorMark();
  // A selection names records of the part being left; it never carries over.
  s_.SelActive = 0;
  s_.WorkPart = partForListItem(item);
  drawing_.RedrawPage();
  bool widened = false;
  while (drawing_.ChkGakuhu2()) widened = true;
  if (widened) drawing_.RedrawPage();
  while (drawing_.ChkGakuhu()) {
  }
  view_.showScorePicture();
  view_.setOctaveLabel(octaveLabelText(s_.PartBaseKey[s_.WorkPart]));
  view_.focusNoteEntry();
  s_.Busy = 0;
}

}  // namespace kelvara
