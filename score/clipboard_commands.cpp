#include "score/bar_math.h"
#include "score/clipboard.h"
#include "score/score_editor.h"

namespace kelvara {

ScoreEditor::OrderedSelection ScoreEditor::orderSelection() const {
  const bool anchorAfter = s_.SelAnchorPage > s_.SelEndPage ||
                           (s_.SelAnchorPage == s_.SelEndPage && s_.SelAnchorX > s_.SelEndX);
  if (anchorAfter) return {s_.SelEndNode, s_.SelAnchorNode, s_.SelEndX, false};
  return {s_.SelAnchorNode, s_.SelEndNode, s_.SelAnchorX, true};
}

void ScoreEditor::Copy1Click() {
  s_.ClipCopied = 0;
  if (!s_.SelActive) return;
  s_.SelActive = 0;
  drawing_.DrawSel();
  eraseCursorMark();

  const OrderedSelection sel = orderSelection();
  TOnpu* firstCopy = nullptr;
  TOnpu* lastCopy = nullptr;
  for (TOnpu* r = sel.first; r != sel.stop && !isEndMarker(*r); r = r->Next) {
    auto* copy = new TOnpu;
    Copyonpu(copy, r);
    copy->Prev = lastCopy;
    copy->Next = nullptr;
    if (lastCopy != nullptr) {
      lastCopy->Next = copy;
    } else {
      firstCopy = copy;
    }
    lastCopy = copy;
  }
  if (firstCopy == nullptr) return;  // the clipboard keeps what it had

  DisposeClip(s_);
  lastCopy->Closed = 0;
  s_.ClipHead->Closed = 1;
  s_.ClipHead->Next = firstCopy;
  s_.ClipCopied = 1;
}

void ScoreEditor::Cut1Click() {
  Copy1Click();
  s_.SelActive = s_.ClipCopied;
  Delete1Click();
}

void ScoreEditor::Delete1Click() {
  if (!s_.SelActive) return;
  s_.markChanged();
  s_.SelActive = 0;
  drawing_.DrawSel();
  eraseCursorMark();

  const int p = s_.WorkPart;
  const OrderedSelection sel = orderSelection();
  if (sel.anchorFirst) {
    // The cursor stands at the range's end: take the range out of its state.
    int64_t fill = s_.BarFill[p];
    for (TOnpu* r = sel.first; r != sel.stop; r = r->Next) {
      for (int k = 0; k < kLetters; ++k) s_.AccState[k] -= r->AccDelta[k];
      fill -= barContribution(*r);
    }
    while (fill < 0) {
      fill += s_.BarLen();
      --s_.BarNo[p];
    }
    s_.BarFill[p] = static_cast<int32_t>(fill);
  }
  const int32_t width = s_.CurNode[p]->Width;
  s_.CurNode[p] = sel.stop;
  s_.CursorX[p] = sel.earlyX;

  TOnpu* before = sel.first->Prev;
  before->Next = sel.stop;
  sel.stop->Prev = before;
  for (TOnpu* r = sel.first; r != sel.stop;) {
    TOnpu* next = r->Next;
    if (s_.PageNode == r) s_.PageNode = next;
    freeRecord(r);
    r = next;
  }

  s_.EndX = drawing_.DrawFromIti();
  drawing_.wipeStaff(s_.EndX, width);
  refreshAfterInput();
}

void ScoreEditor::Paste1Click() {
  if (s_.SelActive) Delete1Click();
  if (s_.ClipHead->Closed == 0) return;
  s_.markChanged();

  TOnpu* firstCopy = nullptr;
  TOnpu* lastCopy = nullptr;
  for (const TOnpu* r = s_.ClipHead; r->Closed == 1;) {
    r = r->Next;
    auto* copy = new TOnpu;
    Copyonpu(copy, r);
    copy->Prev = lastCopy;
    if (lastCopy != nullptr) {
      lastCopy->Next = copy;
    } else {
      firstCopy = copy;
    }
    lastCopy = copy;
  }

  const int p = s_.WorkPart;
  TOnpu* cur = s_.CurNode[p];
  if (cur->RenIndex > 1) dissolveAndRedraw(cur);
  cur->Prev->Next = firstCopy;
  firstCopy->Prev = cur->Prev;
  cur->Prev = lastCopy;
  lastCopy->Next = cur;
  s_.CurNode[p] = firstCopy;
  if (s_.PageNode == cur) s_.PageNode = firstCopy;

  s_.EndX = drawing_.DrawFromIti();
  drawing_.wipeStaff(s_.EndX, firstCopy->Width);
  refreshAfterInput();
}

}  // namespace kelvara
