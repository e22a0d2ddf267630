#include "score/bar_math.h"
#include "score/clipboard.h"
#include "score/score_changes.h"
#include "score/score_editor.h"
#include "score/undo_scope.h"

namespace kelvara {

void ScoreEditor::copyRange(const SelectedRange& range) {
  TOnpu* firstCopy = nullptr;
  TOnpu* lastCopy = nullptr;
  for (TOnpu* r = range.first; r != range.stop && !isEndMarker(*r); r = r->Next) {
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

void ScoreEditor::Copy1Click() {
  s_.ClipCopied = 0;
  if (const auto range = selection_.take(view_)) copyRange(*range);
}

void ScoreEditor::Cut1Click() {
  s_.ClipCopied = 0;
  const auto range = selection_.take(view_);
  if (!range) return;
  copyRange(*range);
  if (s_.ClipCopied) deleteRange(*range);
}

void ScoreEditor::Delete1Click() {
  if (const auto range = selection_.take(view_)) deleteRange(*range);
}

void ScoreEditor::deleteRange(const SelectedRange& range) {
  const int p = s_.WorkPart;
  TOnpu* cursor = s_.CurNode[p];
  UndoScope undo(s_, p, range.first, range.stop);
  // The cursor stands at one end of the range. At the later end its bar
  // position and accidental state include the range: take it back out. At
  // the earlier end nothing before it changes.
  bool exact = true;
  if (cursor == range.stop) {
    for (TOnpu* r = range.first; r != range.stop; r = r->Next) {
      for (int k = 0; k < kLetters; ++k) s_.AccState[k] -= r->AccDelta[k];
      retreatBar(s_.BarNo[p], s_.BarFill[p], barContribution(*r), s_.BarLen());
    }
  } else if (cursor != range.first) {
    exact = false;
  }
  const int32_t width = cursor->Width;
  s_.CurNode[p] = range.stop;
  s_.CursorX[p] = range.earlyX;

  TOnpu* before = range.first->Prev;
  before->Next = range.stop;
  range.stop->Prev = before;
  bool pageStartGone = false;
  for (TOnpu* r = range.first; r != range.stop;) {
    TOnpu* next = r->Next;
    if (s_.PageNode == r) {
      s_.PageNode = next;
      pageStartGone = true;
    }
    freeRecord(r);
    r = next;
  }
  markChanged(s_);

  if (!exact) s_.recountBarPosition(p);
  if (!exact || pageStartGone || range.earlyPage != s_.PageFirstBar) {
    // The earlier end's x does not belong to the page shown, or the page's
    // first record is gone: lay the cursor's page out afresh.
    s_.EndX = drawing_.PageDraw();
    scrollFollow();
    refreshAfterInput();
    return;
  }
  s_.EndX = drawing_.DrawFromIti();
  drawing_.wipeStaff(s_.EndX, width);
  refreshAfterInput();
}

void ScoreEditor::Paste1Click() {
  // Replacing a selection and inserting the copies are one undo step.
  TOnpu* at = s_.CurNode[s_.WorkPart];
  const auto replaced = s_.SelActive ? selection_.take(view_) : std::nullopt;
  UndoScope undo(s_, s_.WorkPart, replaced ? replaced->first : at->Prev,
                 replaced ? replaced->stop : at);
  if (replaced) deleteRange(*replaced);
  if (s_.ClipHead->Closed == 0) return;

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
  markChanged(s_);

  s_.EndX = drawing_.DrawFromIti();
  drawing_.wipeStaff(s_.EndX, firstCopy->Width);
  refreshAfterInput();
}

}  // namespace kelvara
