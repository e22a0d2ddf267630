#include "editor/undo_commands.h"

#include "editor/editor.h"
#include "editor/focus_back.h"
#include "score/undo_history.h"
#include "sound/part_voices.h"

namespace kelvara {

bool UndoCommands::canUndo() const {
  return editor_.history().canUndo();
}

bool UndoCommands::canRedo() const {
  return editor_.history().canRedo();
}

bool UndoCommands::undo() {
  return step(false);
}

bool UndoCommands::redo() {
  return step(true);
}

bool UndoCommands::step(bool forward) {
  EditorState& s = editor_.state();
  UndoHistory& history = editor_.history();
  FocusBack focus(editor_.view());
  if (s.Busy || !(forward ? history.canRedo() : history.canUndo())) return false;
  s.Busy = 1;
  editor_.score().selection().drop();
  eraseCursorMark(s, editor_.view());

  const ScoreValues before = s;
  const std::optional<int> part = forward ? history.redo() : history.undo();
  // An overlay entry's saved note belongs to the state just left.
  editor_.score().forgetReopened();
  if (!part || *part < 0) {
    for (int p = 0; p < kPartCount; ++p) s.recountBarPosition(p);
  } else {
    s.recountBarPosition(*part);
  }

  PageRenderer& renderer = editor_.renderer();
  s.PageNode = s.CurNode[s.WorkPart];
  renderer.resetPictureWidth();
  editor_.view().setScrollX(0);
  renderer.PageDraw();
  editor_.score().scrollFollow();
  editor_.view().showScorePicture();
  editor_.view().setOctaveLabel(octaveLabelText(s.PartBaseKey[s.WorkPart]));
  s.markChanged();

  const ScoreValues& after = s;
  if (after.PartProgram != before.PartProgram) {
    reopenMidiOutput(editor_.midi(), s.MidiDevice, s.PartProgram, ProgramChanges::AllChannels);
  }
  if (after.Major != before.Major) editor_.input().slide(s.Major == 1);
  s.Busy = 0;
  return true;
}

}  // namespace kelvara
