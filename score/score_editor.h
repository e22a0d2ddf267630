#pragma once

#include <cstdint>
#include <optional>

#include "score/editor_state.h"
#include "score/score_drawing.h"
#include "score/score_view.h"
#include "score/selection.h"

namespace kelvara {

class UndoScope;

// Draws the cursor mark of the work part with the view's inverting pen (a
// line, or a box around an open record) and flips CursorOff.
void toggleCursorMark(EditorState& s, ScoreView& view);
// Takes the cursor mark off the view if it is drawn.
void eraseCursorMark(EditorState& s, ScoreView& view);

// Cursor moves and note-by-note editing of the work part.
class ScoreEditor {
 public:
  ScoreEditor(EditorState& state, ScoreDrawing& drawing, ScoreView& view)
      : s_(state), drawing_(drawing), view_(view), selection_(state, drawing) {}

  // Cursor moves. The cursor never stands on the start marker and never
  // passes the end marker; moves at the ends only run the page follow.
  void right();
  void left();
  // Closes the open record under the cursor and moves past it; nothing when
  // the cursor record is closed.
  void rightshift();

  // Enters a pitch (0: a rest) of the given length (64ths) at the cursor: a
  // new open record, a further chord pitch, or a lengthened record. Returns
  // the x where the redraw ended. A played `velocity` (1..127) is stored in
  // a new record and raises an open chord's to the loudest of its keys;
  // without one a new record gets the default.
  int32_t InsertOnpu(int32_t pitch, int32_t length, std::optional<int32_t> velocity = {});
  // Removes the cursor record unless it is the end marker.
  void DeleteOnpu();
  // Drops the record being entered: an open record is removed, and a note
  // reopened by an overlay entry loses only the pitches added since (its
  // record is put back as it was and closed).
  void EscapeOnpu();
  // Removes the record before the cursor (or the open cursor record).
  void BSOnpu();

  // The program's own clipboard, on the selected range of the work part.
  void Copy1Click();
  void Cut1Click();
  void Paste1Click();
  void Delete1Click();

  // The selection shared by keys, mouse, clipboard, tuplets and modifiers.
  SelectionModel& selection() { return selection_; }

  // Makes the part of work-part list item `item` the work part and redraws.
  void selectWorkPart(int item);

  // After an edit at the cursor: widen the picture while needed, redraw from
  // the cursor if it widened (always when alwaysRedraw), show the picture.
  void refreshAfterInput(bool alwaysRedraw = false);

  // Passing a record keeps BarNo, BarFill, AccState and CursorX exact.
  void passRight(TOnpu* r);
  void passLeft(TOnpu* r);

  // Forgets the note an overlay entry reopened (undo changed the score).
  void forgetReopened() { reopened_.record = nullptr; }

  void toggleCursorMark() { kelvara::toggleCursorMark(s_, view_); }
  void eraseCursorMark() { kelvara::eraseCursorMark(s_, view_); }
  void scrollFollow();
  // Rebuilds the page when the cursor's bar left it; true if it did.
  bool pageFollow();
  // Counts the cursor's accidental state again from the start of the page shown.
  void recountAccidentalsOnPage();

 private:
  void dissolveAndRedraw(TOnpu* member);
  // Closes the record under the cursor (the end of its entry).
  void closeRecord(TOnpu* c);
  // Opens `undo` for closing `c` when it is open and its close can join
  // the step that entered it.
  void recordClosing(std::optional<UndoScope>& undo, TOnpu* c);
  void copyRange(const SelectedRange& range);
  void deleteRange(const SelectedRange& range);
  int32_t appendAfterCursor(int32_t pitch, int32_t length, std::optional<int32_t> velocity);
  // True when entering `pitch` lengthens the cursor record by the input length.
  bool lengthensCursorRecord(int32_t pitch) const;
  // True when record r, starting at the cursor, may be `length` 64ths long
  // and still be kept by the whole-score file.
  bool fitsInFile(const TOnpu& r, int32_t length) const;
  // Puts the record an overlay entry reopened back as it was before.
  void restoreReopened();

  // The closed note an overlay entry reopened, as it was before; record is
  // null when the cursor record was not reopened that way.
  struct Reopened {
    TOnpu* record = nullptr;
    int part = -1;
    TOnpu before{};
  };
  Reopened reopened_;

  EditorState& s_;
  ScoreDrawing& drawing_;
  ScoreView& view_;
  SelectionModel selection_;
};

}  // namespace kelvara
