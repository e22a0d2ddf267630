#pragma once

#include <functional>
#include <utility>

#include <array>
#include <cstdint>

#include "input/editor_controls.h"
#include "input/key_map.h"
#include "render/glyph_table.h"
#include "render/keyboard_picture.h"
#include "render/page_renderer.h"
#include "score/editor_state.h"
#include "score/score_editor.h"
#include "score/score_view.h"
#include "sound/midi_output.h"

namespace kelvara {

// The steps of the keyboard animation, kept in SlideStep: each Timer1 tick
// shows one step and moves on to the next. The first step of each animation
// sounds the base key; the last one lets it go.
namespace slide {
constexpr int32_t kToMajor = 0;  // slide to the major arrangement: 0 .. 3
constexpr int32_t kToMajorLast = 3;
constexpr int32_t kToMinor = 4;  // slide to the minor arrangement: 4 .. 7
constexpr int32_t kToMinorLast = 7;
constexpr int32_t kOctaveDown = 8;      // octave down: 8 .. 15 move the keyboard,
constexpr int32_t kOctaveDownEnd = 16;  // and 16 ends it
constexpr int32_t kOctaveUp = 17;       // octave up: 17 .. 24 move the keyboard,
constexpr int32_t kOctaveUpEnd = 25;    // and 25 ends it
}  // namespace slide

struct Modifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The editor window's keys, timers, length and mode buttons and percussion
// pad: the computer keyboard played like a piano, entering what it plays.
class KeyInput {
 public:
  KeyInput(EditorState& state, ScoreEditor& score, PageRenderer& renderer, MidiOutput& midi,
           KeyboardPicture& keyboard, const GlyphTable& glyphs, EditorControls& controls,
           ScoreView& view);

  // Maps a key of the two piano rows to a pitch for the current arrangement
  // and keeps the held-key table. direction: 0 press, 1 release. Returns -1
  // for other keys; markX <= 0 means nothing is to be done.
  int32_t keycode(int key, int direction, int& markX, int& markY);

  // A key pressed on the window: plays and enters notes, moves, edits.
  void FormKeyDown(int key, Modifiers modifiers);
  // Who takes Ctrl+Z (false: undo) and Ctrl+Y or Ctrl+Shift+Z (true: redo).
  void setHistoryKeys(std::function<void(bool redo)> handler) { historyKeys_ = std::move(handler); }
  // A key let go: ends the note its press started.
  void FormKeyUp(int key, Modifiers modifiers);

  // The keyboard slide between the major and minor arrangements.
  void slide(bool major);
  // One step of the keyboard animation (slide or octave shift).
  void Timer1Timer();
  // Ends a running keyboard animation at once, as its last step would leave
  // it: the sounding base is silenced and the base lands where the animation
  // takes it (whole octaves, or the arrangement's three semitones). Nothing
  // when no animation runs. Called before the work part changes.
  void finishAnimation();
  // The cursor blink.
  void Timer2Timer();

  // The length buttons (1..7) and the mode buttons (8..11).
  void SpeedButtonClick(int button);
  // Percussion pad row 0..11: sounds and enters its drum key.
  void percussionButtonClick(int pad);

  // The keyboard picture as the editor starts: the first frame and its letters.
  void showStartupKeyboard();

 private:
  std::function<void(bool redo)> historyKeys_;
  void sendNote(int32_t key, int32_t velocity);
  void setInputUnit(int button);
  void extendSelection(int key);
  void playAndEnter(int key);
  void showKeyboardFrame(int frame);
  void finishSlide();
  void stepBase(int32_t delta);
  void sendBase(int32_t key, int32_t velocity);

  // While set, the animation steps move the base and the pictures but send
  // nothing (finishAnimation runs the remaining steps at once).
  bool silentSteps_ = false;

  EditorState& s_;
  ScoreEditor& score_;
  PageRenderer& renderer_;
  MidiOutput& midi_;
  KeyboardPicture& keyboard_;
  const GlyphTable& glyphs_;
  EditorControls& controls_;
  ScoreView& view_;
  // What each held key sounds, so that its release ends exactly that note
  // even if the base, the arrangement or the work part changed meanwhile.
  std::array<int32_t, kMappedKeys> heldPitch_{};
  std::array<int32_t, kMappedKeys> heldChannel_{};
};

}  // namespace kelvara
