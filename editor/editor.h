#pragma once

#include <memory>
#include <string>
#include <utility>

#include "editor/undo_commands.h"
#include "input/edit_menu.h"
#include "input/editor_controls.h"
#include "input/key_input.h"
#include "input/midi_key_input.h"
#include "input/mouse_input.h"
#include "render/glyph_table.h"
#include "render/keyboard_picture.h"
#include "render/page_renderer.h"
#include "score/editor_state.h"
#include "score/modifiers.h"
#include "score/score_editor.h"
#include "score/score_view.h"
#include "score/tuplets.h"
#include "score/undo_history.h"
#include "score/user_questions.h"
#include "sound/midi_input_choice.h"
#include "sound/midi_key_sound.h"
#include "sound/midi_output.h"

namespace kelvara {

struct StartOptions {
  std::string settingsPath;
  bool explicitSettings = false;  // the user named the settings file
  // Folder of the glyph pictures; empty draws the layout without pictures.
  std::string glyphFolder;
};

// The engine's facade: owns the editor state and the subsystems that work on
// it, and runs start-up and shut-down. The window owns one Editor and
// implements its ports.
class Editor {
 public:
  Editor(ScoreView& view, EditorControls& controls, MidiOutput& midi, UserQuestions& questions);
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  // The start-up sequence. Returns an empty string when the editor is ready,
  // otherwise the message that stops start-up (a glyph picture is missing).
  std::string FormCreate(const StartOptions& options);
  // A settings file start-up reads instead of the one in StartOptions while
  // only this one exists (where an earlier version kept it); empty for none.
  void setEarlierSettingsPath(std::string path) { earlierSettingsPath_ = std::move(path); }
  // The MIDI input the player chooses; start-up reopens the one kept beside
  // the settings file and shut-down keeps the one chosen. Set before
  // FormCreate; null keeps no MIDI input.
  void setMidiInput(MidiInputChoice* input) { midiInput_ = input; }
  // Writes the settings file; a failure is reported to the user.
  void FormClose();
  // Closes the MIDI output and frees every record. Safe to call twice.
  void FormDestroy();

  EditorState& state() { return state_; }
  const EditorState& state() const { return state_; }
  ScoreEditor& score() { return score_; }
  PageRenderer& renderer() { return renderer_; }
  KeyInput& input() { return input_; }
  // What the MIDI keyboard plays: sounded on the input's thread, entered
  // into the work part on the UI thread.
  MidiKeySound& midiSound() { return midiSound_; }
  MidiKeyInput& midiKeys() { return midiKeys_; }
  MouseInput& mouse() { return mouse_; }
  EditMenu& editMenu() { return editMenu_; }
  Tuplets& tuplets() { return tuplets_; }
  NoteModifiers& modifiers() { return modifiers_; }
  // The changes the commands recorded, for undo and redo.
  UndoHistory& history() { return history_; }
  UndoCommands& undoCommands() { return undoCommands_; }
  const KeyboardPicture& keyboard() const { return keyboard_; }
  const GlyphTable& glyphs() const { return glyphs_; }
  MidiOutput& midi() { return midi_; }
  ScoreView& view() { return view_; }
  UserQuestions& questions() { return questions_; }
  const std::string& settingsPath() const { return settingsPath_; }

 private:
  // Opens the MIDI input kept beside the settings file; what went wrong is
  // told once.
  void reopenMidiInput();

  ScoreView& view_;
  EditorControls& controls_;
  MidiOutput& midi_;
  UserQuestions& questions_;
  EditorState state_;
  UndoHistory history_{state_};
  UndoCommands undoCommands_{*this};
  GlyphTable glyphs_;
  PageRenderer renderer_;
  ScoreEditor score_;
  KeyboardPicture keyboard_;
  KeyInput input_;
  MidiKeySound midiSound_;
  MidiKeyInput midiKeys_;
  MidiInputChoice* midiInput_ = nullptr;
  Tuplets tuplets_;
  NoteModifiers modifiers_;
  MouseInput mouse_;
  EditMenu editMenu_;
  std::string settingsPath_;
  std::string earlierSettingsPath_;
  bool destroyed_ = false;
};

}  // namespace kelvara
