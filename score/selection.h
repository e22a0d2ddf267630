#pragma once

#include <cstdint>
#include <optional>

#include "score/editor_state.h"
#include "score/score_drawing.h"
#include "score/score_view.h"

namespace kelvara {

// The selected stretch of the work part, ordered by the records' places in
// the list: [first, stop). stop is never part of the range; it may be the end
// marker.
struct SelectedRange {
  TOnpu* first;
  TOnpu* stop;
  int32_t earlyX;     // x of the earlier end, valid on earlyPage
  int32_t earlyPage;  // first bar of the page on which earlyX was taken
  bool anchorFirst;   // the anchor is the earlier end (made forwards)
  int32_t count;      // records in the range
};

// The first bar of the page on which CursorX of the work part holds: the
// displayed page while the cursor is shown on it, otherwise the page of the
// cursor's bar.
int32_t cursorPage(const EditorState& s);

// The one selection of the editor, shared by the keys, the mouse, the
// clipboard, the tuplet and the modifier commands. Its anchor is fixed when
// it is begun; its moving end is always the cursor.
class SelectionModel {
 public:
  SelectionModel(EditorState& state, ScoreDrawing& drawing) : s_(state), drawing_(drawing) {}

  // Before the cursor moves to extend the selection: a shown selection is
  // taken off the view and keeps its anchor; otherwise the anchor is the
  // cursor.
  void grab();
  // After the cursor moved: the moving end is the cursor. Shows the
  // highlight, or leaves no selection when both ends are the same record.
  void extendToCursor();

  // Drops a shown selection and takes its highlight off the view.
  void drop();

  // The selection ordered by list position, or nothing when there is none
  // or an end is not a record of the work part's list. Walks the list from
  // its start and never follows a stored end, so stale ends are harmless.
  std::optional<SelectedRange> ordered() const;

  // What every command working on the selection does first: clears it,
  // takes the highlight and the cursor mark off the view and returns the
  // ordered range (nothing when there was no usable selection).
  std::optional<SelectedRange> take(ScoreView& view);

 private:
  EditorState& s_;
  ScoreDrawing& drawing_;
};

}  // namespace kelvara
