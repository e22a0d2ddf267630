#include <algorithm>

#include "score/score_editor.h"
#include "score/undo_scope.h"

namespace kelvara {

namespace {

// Cells a record of `length` 64ths takes when drawn from `fill` 64ths into a
// bar of barLen, split as the glyph drawing splits it: each piece the largest
// of 64, 32 .. 1 not more than what is left, not more than the bar, and
// fitting in what remains of the bar. Counting stops past `most`.
int32_t cellsUpTo(int32_t length, int32_t fill, int32_t barLen, int32_t most) {
  if (barLen < 1) return 0;
  int32_t cells = 0;
  while (length > 0 && cells <= most) {
    int32_t piece = 64;
    while (piece > 1 && (piece > length || piece > barLen || fill + piece > barLen)) piece /= 2;
    length -= piece;
    fill = (fill + piece) % barLen;
    ++cells;
  }
  return cells;
}

}  // namespace

bool ScoreEditor::fitsInFile(const TOnpu& r, int32_t length) const {
  if (length > kMaxFileLength) return false;
  // A tuplet member draws at its share of the group, never longer.
  if (r.RenIndex != 0) return true;
  const int p = s_.WorkPart;
  constexpr int32_t kMostCells = kMaxFileWidth / kCellWidth;
  return cellsUpTo(length, s_.BarFill[p], s_.BarLen(), kMostCells) <= kMostCells;
}

bool ScoreEditor::lengthensCursorRecord(int32_t pitch) const {
  const TOnpu* c = s_.CurNode[s_.WorkPart];
  if (c->Closed == 1 && (s_.InsertMode == 1 || c->Pitch[0] < 1)) return false;
  const bool toChord =
      pitch == c->Pitch[0] || (pitch != 0 && c->Pitch[0] != 0 && s_.SingleInput != 1);
  if (!toChord) return false;
  for (int i = 0; i < kPitchSlots && c->Pitch[i] > -1; ++i) {
    if (c->Pitch[i] == pitch) return true;
  }
  return false;
}

void ScoreEditor::dissolveAndRedraw(TOnpu* member) {
  dissolveTuplet(member);
  // Members before the cursor now count by their own lengths: the page
  // redraw finds its page from an exact bar position.
  s_.recountBarPosition(s_.WorkPart);
  drawing_.PageDraw();
}

int32_t ScoreEditor::InsertOnpu(int32_t pitch, int32_t length, std::optional<int32_t> velocity) {
  const int p = s_.WorkPart;
  TOnpu* c = s_.CurNode[p];
  // A record the whole-score file could not keep is never made: the key is
  // refused and the score stays as it was.
  if (lengthensCursorRecord(pitch) && !fitsInFile(*c, c->Length + length)) {
    view_.refuse();
    return s_.EndX;
  }
  // Further pitches of the record being entered belong to its undo step.
  const bool joinsOpenRecord =
      c->Closed == 0 &&
      (pitch == c->Pitch[0] || (pitch != 0 && c->Pitch[0] != 0 && s_.SingleInput != 1));
  UndoScope undo(s_, p, joinsOpenRecord ? c : c->Prev, c, joinsOpenRecord);
  s_.markChanged();

  if (c->Closed == 1 && (s_.InsertMode == 1 || c->Pitch[0] < 1)) {
    // Typing at a cursor line: a new open record before the cursor record.
    // A cursor inside a tuplet group (after its first member) splits it.
    if (c->RenIndex > 1) dissolveAndRedraw(c);
    reopened_.record = nullptr;
    TOnpu* n = makeRecord(pitch, length, 0);
    if (velocity) n->Velocity = *velocity;
    linkBefore(c, n);
    s_.CurNode[p] = n;
    if (n->Next == s_.PageNode) s_.PageNode = n;
    return drawing_.DrawFromIti();
  }

  // The cursor record is open, or a closed note that overlay reopens. The mark
  // comes off first: its shape depends on the Closed byte.
  eraseCursorMark();
  if (c->Closed == 1) reopened_ = {c, p, *c};
  c->Closed = 0;
  const bool toChord =
      pitch == c->Pitch[0] || (pitch != 0 && c->Pitch[0] != 0 && s_.SingleInput != 1);
  if (!toChord) return appendAfterCursor(pitch, length, velocity);

  int i = 0;
  while (i < kPitchSlots && c->Pitch[i] > -1 && c->Pitch[i] != pitch) ++i;
  // Ten pitches already, or a marker: the pitch starts a new record.
  if (i == kPitchSlots || c->Pitch[i] < -2) return appendAfterCursor(pitch, length, velocity);

  if (c->Pitch[i] >= 0) {
    // The pitch (or rest) is there already: entering it again lengthens it.
    c->Length += length;
  } else {
    c->LastIndex = i;
    int j = i;
    for (int k = 0; k < i; ++k) {
      if (c->Pitch[k] <= pitch) {
        j = k;
        break;
      }
    }
    for (int k = i; k > j; --k) c->Pitch[k] = c->Pitch[k - 1];
    c->Pitch[j] = pitch;
  }
  if (velocity) c->Velocity = std::max(c->Velocity, *velocity);
  return drawing_.DrawFromIti();
}

int32_t ScoreEditor::appendAfterCursor(int32_t pitch, int32_t length,
                                       std::optional<int32_t> velocity) {
  const int p = s_.WorkPart;
  TOnpu* c = s_.CurNode[p];
  eraseCursorMark();
  if (c->RenIndex > 0 && c->RenIndex < c->RenCount) dissolveAndRedraw(c);
  c->Closed = 1;
  reopened_.record = nullptr;
  passRight(c);
  TOnpu* n = makeRecord(pitch, length, 0);
  if (velocity) n->Velocity = *velocity;
  linkAfter(c, n);
  s_.CurNode[p] = n;
  if (n->Next == s_.PageNode) s_.PageNode = n;
  return drawing_.DrawFromIti();
}

void ScoreEditor::DeleteOnpu() {
  const int p = s_.WorkPart;
  TOnpu* c = s_.CurNode[p];
  UndoScope undo(s_, p, c, c);
  if (c->RenIndex != 0) dissolveAndRedraw(c);
  if (c->Pitch[0] <= -2) return;
  s_.markChanged();

  // The cursor keeps its place; the records after it move up.
  if (reopened_.record == c) reopened_.record = nullptr;
  unlinkRecord(c);
  s_.CurNode[p] = c->Next;
  if (s_.PageNode == c) s_.PageNode = c->Next;
  s_.EndX = drawing_.DrawFromIti();
  // Wipe what the shorter drawing no longer covers.
  drawing_.wipeStaff(s_.EndX, c->Width);
  freeRecord(c);

  bool widened = false;
  while (drawing_.ChkGakuhu()) widened = true;
  if (widened) drawing_.DrawFromIti();
  view_.showScorePicture();
}

void ScoreEditor::EscapeOnpu() {
  const int p = s_.WorkPart;
  TOnpu* c = s_.CurNode[p];
  if (c->Closed != 0) return;
  // Dropping the record being entered takes its entry out of the history too.
  UndoScope undo(s_, p, c, c, /*join=*/true);
  if (reopened_.record == c && reopened_.part == p) {
    restoreReopened();
  } else {
    DeleteOnpu();
  }
}

void ScoreEditor::restoreReopened() {
  TOnpu* c = reopened_.record;
  reopened_.record = nullptr;
  eraseCursorMark();
  const int32_t widthBefore = c->Width;
  TOnpu before = reopened_.before;
  before.Prev = c->Prev;
  before.Next = c->Next;
  *c = before;
  c->Closed = 1;
  s_.EndX = drawing_.DrawFromIti();
  // Fewer pitches may draw narrower (fewer accidentals): wipe what is left.
  if (c->Width < widthBefore) drawing_.wipeStaff(s_.EndX, widthBefore - c->Width);
  bool widened = false;
  while (drawing_.ChkGakuhu()) widened = true;
  if (widened) drawing_.DrawFromIti();
  view_.showScorePicture();
}

void ScoreEditor::BSOnpu() {
  TOnpu* c = s_.CurNode[s_.WorkPart];
  if (c->Prev->Pitch[0] < -1) return;
  UndoScope undo(s_, s_.WorkPart, c->Prev, c);
  left();
  DeleteOnpu();
}

void ScoreEditor::refreshAfterInput(bool alwaysRedraw) {
  bool widened = false;
  while (drawing_.ChkGakuhu()) widened = true;
  if (widened || alwaysRedraw) drawing_.DrawFromIti();
  view_.showScorePicture();
}

}  // namespace kelvara
