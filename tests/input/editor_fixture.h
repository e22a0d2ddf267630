#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "editor/editor.h"
#include "input/headless_controls.h"
#include "input/key_map.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "sound/recording_midi_output.h"
#include "support/score_checks.h"
#include "support/scripted_modifier_dialogs.h"
#include "support/scripted_questions.h"

namespace kelvara::testing {

// The whole engine as the window drives it, with headless ports and the
// source tree's glyph pictures, so that widths and pages are the real ones.
class EditorTest : public ::testing::Test {
 protected:
  EditorTest() : editor(view, controls, midi, questions) {
    EXPECT_EQ(editor.FormCreate({"", false, SOURCE_DIR "/onpu"}), "");
    midi.clear();
  }

  EditorState& s() { return editor.state(); }
  TOnpu* cur() { return s().CurNode[s().WorkPart]; }
  TOnpu* first() { return firstRecordOf(s().PartHead[s().WorkPart]); }
  TOnpu* at(int index) {
    TOnpu* r = first();
    for (int i = 0; i < index; ++i) r = r->Next;
    return r;
  }

  void press(int key, Modifiers m = {}) { editor.input().FormKeyDown(key, m); }
  void shiftPress(int key) { press(key, {.shift = true}); }
  void ctrlPress(int key) { press(key, {.ctrl = true}); }

  // `count` closed records of `length` 64ths, pitches rising, as a loaded
  // file gives them; the cursor at the part's start and page 1 drawn.
  void fill(int count, int32_t length) {
    const int p = s().WorkPart;
    for (int i = 0; i < count; ++i) {
      linkBefore(endMarkerOf(s().PartHead[p]), makeRecord(48 + i % 36, length, 1));
    }
    s().CurNode[p] = first();
    s().BarNo[p] = 1;
    s().BarFill[p] = 0;
    editor.renderer().PageDraw();
  }

  // Middle of record `index` on the displayed page, counted from PageNode.
  int32_t middleOf(TOnpu* target) {
    int32_t x = s().PageX;
    for (TOnpu* r = s().PageNode; r != target; r = r->Next) x += r->Width;
    return x + target->Width / 2;
  }
  void click(int32_t x, bool shift = false) {
    editor.mouse().Image1MouseDown(MouseButton::Left, shift, x);
    editor.mouse().Image1MouseUp(MouseButton::Left);
  }
  void drag(int32_t from, int32_t to) {
    editor.mouse().Image1MouseDown(MouseButton::Left, false, from);
    editor.mouse().Image1MouseMove((from + to) / 2);
    editor.mouse().Image1MouseMove(to);
    editor.mouse().Image1MouseUp(MouseButton::Left);
  }
  int clipboardCount() {
    int n = 0;
    if (s().ClipHead->Closed == 0) return 0;
    for (TOnpu* r = s().ClipHead; r->Closed == 1; r = r->Next) ++n;
    return n;
  }
  int recordCount() {
    int n = 0;
    for (TOnpu* r = first(); !isEndMarker(*r); r = r->Next) ++n;
    return n;
  }

  HeadlessScoreView view;
  HeadlessControls controls;
  RecordingMidiOutput midi{2};
  ScriptedQuestions questions;
  ScriptedModifierDialogs dialogs;
  Editor editor;
};

}  // namespace kelvara::testing
