#pragma once

#include <cstdint>

#include "score/editor_state.h"
#include "score/modifier_dialogs.h"
#include "score/modifiers.h"
#include "score/score_editor.h"
#include "score/score_view.h"
#include "score/tuplets.h"
#include "score/user_questions.h"

namespace kelvara {

// Which items of the edit menu can be chosen.
struct EditMenuItems {
  bool cut, copy, paste, remove, renpu, syusyoku;
};

// The edit menu of the score view: clipboard, "連符(&B)" and "修飾(&N)". A
// command chosen while another input is being handled (Busy) is dropped;
// every command gives the keyboard focus back to the note-entry box.
class EditMenu {
 public:
  EditMenu(EditorState& state, ScoreEditor& score, Tuplets& tuplets, NoteModifiers& modifiers,
           ScoreView& view, UserQuestions& questions)
      : s_(state),
        score_(score),
        tuplets_(tuplets),
        modifiers_(modifiers),
        view_(view),
        questions_(questions) {}

  // Set just before the menu opens: paste always, the rest with a selection.
  EditMenuItems itemStates() const;

  void Cut1Click();     // cuts the selection to the clipboard
  void Copy1Click();    // copies the selection to the clipboard
  void Paste1Click();   // pastes the clipboard before the cursor
  void Delete1Click();  // deletes the selection

  void Ren_1Click();   // a group lasting a whole note
  void Ren_2Click();   // a group lasting a half note
  void Ren_4Click();   // a group lasting a quarter note
  void Ren_8Click();   // a group lasting an eighth note
  void Ren_16Click();  // a group lasting a 16th note
  void Ren_reClick();  // dissolves the groups the selection touches

  void Syu_dlClick(ModifierDialogs& dialogs);   // length adjustment
  void Syu_velClick(ModifierDialogs& dialogs);  // velocity ramp
  void Syu_yoClick(ModifierDialogs& dialogs);   // lingering tail

 private:
  template <typename Command>
  void run(Command command);
  void renpu(int32_t d);

  EditorState& s_;
  ScoreEditor& score_;
  Tuplets& tuplets_;
  NoteModifiers& modifiers_;
  ScoreView& view_;
  UserQuestions& questions_;
};

}  // namespace kelvara
