#pragma once

namespace kelvara {

class Editor;

// Undo and redo as the user gives them (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z, the
// edit menu): the step is taken back or done again, the bar positions are
// counted again, the cursor's page is drawn afresh with the cursor where the
// step leaves it, and nothing sounds. The selection is dropped first.
class UndoCommands {
 public:
  explicit UndoCommands(Editor& editor) : editor_(editor) {}

  // Takes back the last change; false when there is none (or input is busy).
  bool undo();
  // Does the last undone change again; false when there is none.
  bool redo();
  bool canUndo() const;
  bool canRedo() const;

 private:
  bool step(bool forward);

  Editor& editor_;
};

}  // namespace kelvara
