#include <gtest/gtest.h>

#include "editor/editor.h"
#include "files/zqf3_file.h"
#include "input/headless_controls.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "sound/recording_midi_output.h"
#include "support/scripted_questions.h"

namespace kelvara {
namespace {

using testing::ScriptedQuestions;

uint32_t noteOn(int channel, int key, int velocity) {
  return packShortMessage(0x90u + static_cast<uint32_t>(channel), static_cast<uint32_t>(key),
                          static_cast<uint32_t>(velocity));
}

class Keys : public ::testing::Test {
 protected:
  Keys() : editor(view, controls, midi, questions) {
    EXPECT_EQ(editor.FormCreate({"", false, SOURCE_DIR "/onpu"}), "");
    midi.clear();
  }

  void press(int key, Modifiers m = {}) { editor.input().FormKeyDown(key, m); }
  void release(int key, Modifiers m = {}) { editor.input().FormKeyUp(key, m); }
  void tap(int key) {
    press(key);
    release(key);
  }
  std::vector<int32_t> pitches(int part = 0) {
    std::vector<int32_t> out;
    for (TOnpu* r = firstRecordOf(s().PartHead[part]); !isEndMarker(*r); r = r->Next) {
      out.push_back(r->Pitch[0]);
    }
    return out;
  }
  // Drives Timer1 until the animation stops; returns the keys it sounded.
  std::vector<int> runTimer1() {
    midi.clear();
    for (int i = 0; i < 40 && controls.timer1Running(); ++i) editor.input().Timer1Timer();
    std::vector<int> sounded;
    for (uint32_t m : midi.messages()) {
      if ((m >> 16) != 0) sounded.push_back(static_cast<int>((m >> 8) & 0x7F));
    }
    return sounded;
  }
  EditorState& s() { return editor.state(); }

  HeadlessScoreView view;
  HeadlessControls controls;
  RecordingMidiOutput midi{2};
  ScriptedQuestions questions;
  Editor editor;
};

TEST_F(Keys, MappedKeySoundsAtOnceEntersAndMarks) {
  const int changes = controls.keyboardChanges;
  press('C');
  ASSERT_FALSE(midi.messages().empty());
  EXPECT_EQ(midi.messages().front(), noteOn(0, 60, 100));
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60}));
  EXPECT_EQ(s().CurNode[0]->Closed, 0);
  EXPECT_GT(controls.keyboardChanges, changes);
  release('C');
  EXPECT_EQ(midi.messages().back(), noteOn(0, 60, 0));
}

TEST_F(Keys, AutoRepeatSoundsAndEntersOnceAndReleaseEndsItOnce) {
  press('C');
  press('C');
  press('C');
  release('C');
  release('C');
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 60, 100), noteOn(0, 60, 0)}));
  EXPECT_EQ(s().CurNode[0]->Length, 8);
}

TEST_F(Keys, KeyMapFollowsTheArrangement) {
  int x = -1, y = -1;
  EXPECT_EQ(editor.input().keycode('Z', 0, x, y), 57);
  EXPECT_EQ(x, 94);
  EXPECT_EQ(editor.input().keycode('A', 0, x, y), 56);
  EXPECT_EQ(editor.input().keycode(221, 0, x, y), 75);
  x = -1;
  EXPECT_EQ(editor.input().keycode('D', 0, x, y), -1);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(editor.input().keycode(187, 0, x, y), -1);
  s().Major = 0;
  s().PartBaseKey[0] = 57;
  EXPECT_EQ(editor.input().keycode('X', 0, x, y), 55);
  EXPECT_EQ(editor.input().keycode('Z', 0, x, y), 53);
  EXPECT_EQ(editor.input().keycode(187, 0, x, y), 68);
  EXPECT_EQ(editor.input().keycode('G', 0, x, y), -1);
  EXPECT_EQ(editor.input().keycode(221, 0, x, y), -1);
}

TEST_F(Keys, PercussionPageTakesNoNoteKeysButRests) {
  controls.keyboardPage = false;
  tap('C');
  EXPECT_TRUE(midi.messages().empty());
  EXPECT_TRUE(pitches().empty());
  press(' ');
  EXPECT_EQ(pitches(), (std::vector<int32_t>{0}));
  EXPECT_TRUE(midi.messages().empty());
}

// Regression: a rest lengthened a bar per Space press grew past what the
// whole-score file holds (a width of 71 610 pixels), and the score could no
// longer be saved nor its recovery copy written.
TEST_F(Keys, LengtheningStopsWhereTheScoreFileEnds) {
  struct Case {
    int32_t timeNum, timeDen, longest;  // longest: the rest's length when refused
  };
  for (const Case c : {Case{4, 4, 936 * 64}, Case{3, 8, 175 * 64}}) {
    s().TimeNum = c.timeNum;
    s().TimeDen = c.timeDen;
    const int refusals = view.refusals();
    press('7');  // whole notes
    press(' ');
    TOnpu* rest = s().CurNode[0];
    rest->Length = c.longest - 3 * 64;  // as if Space had been pressed on and on
    for (int i = 0; i < 10 && view.refusals() == refusals; ++i) press(' ');
    EXPECT_EQ(rest->Length, c.longest) << c.timeNum << "/" << c.timeDen;
    EXPECT_LE(rest->Width, kMaxFileWidth);
    const int32_t width = rest->Width;
    press(' ');
    EXPECT_EQ(view.refusals(), refusals + 2);
    EXPECT_EQ(rest->Length, c.longest);
    EXPECT_EQ(rest->Width, width);
    std::vector<uint8_t> bytes;
    const FileResult saved = encodeZqf3(s(), 0, -1, "s.zqf3", bytes);
    EXPECT_TRUE(saved.ok()) << saved.message;
    press(vk::kEscape);
  }
}

TEST_F(Keys, LengthAndModeKeys) {
  press('5');
  EXPECT_EQ(s().InputUnit, 16);
  EXPECT_EQ(controls.inputUnitButton, 5);
  press('7');
  EXPECT_EQ(s().InputUnit, 64);
  press('9');
  EXPECT_EQ(s().SingleInput, 0);
  press('8');
  EXPECT_EQ(s().SingleInput, 1);
  editor.input().SpeedButtonClick(11);  // overlay forces chord input
  EXPECT_EQ(s().InsertMode, 0);
  EXPECT_EQ(s().SingleInput, 0);
  EXPECT_FALSE(controls.singleEnabled);
  press('8');
  EXPECT_EQ(s().SingleInput, 0);
  editor.input().SpeedButtonClick(10);
  EXPECT_TRUE(controls.singleEnabled);
  EXPECT_EQ(s().SingleInput, 0);  // insert leaves chord input chosen
}

TEST_F(Keys, ChordInputAndShiftCompletesTheChord) {
  press('9');
  tap('C');
  tap('B');
  tap('M');
  press(vk::kShift, {.shift = true});
  EXPECT_EQ(pitches(), (std::vector<int32_t>{67}));
  TOnpu* chord = firstRecordOf(s().PartHead[0]);
  EXPECT_EQ(chord->LastIndex, 2);
  EXPECT_EQ(chord->Closed, 1);
  EXPECT_TRUE(isEndMarker(*s().CurNode[0]));
}

TEST_F(Keys, ShiftWithLettersSelectsNothingAndArrowsExtendTheSelection) {
  tap('C');
  tap('V');
  tap('B');
  press(vk::kShift, {.shift = true});
  midi.clear();
  press('C', {.shift = true});
  EXPECT_TRUE(midi.messages().empty());
  EXPECT_EQ(pitches().size(), 3u);
  press(vk::kLeft, {.shift = true});
  press(vk::kLeft, {.shift = true});
  EXPECT_EQ(s().SelActive, 1);
  EXPECT_FALSE(view.invertedLines().empty());
  press(vk::kDelete);
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60}));
  EXPECT_EQ(s().SelActive, 0);
  press(vk::kLeft);
  press(vk::kDelete);  // no selection: deletes at the cursor
  EXPECT_TRUE(pitches().empty());
}

TEST_F(Keys, ClipboardKeys) {
  tap('C');
  tap('V');
  press(vk::kShift, {.shift = true});
  press(vk::kLeft, {.shift = true});
  press(vk::kLeft, {.shift = true});
  press('C', {.ctrl = true});
  release('C', {.ctrl = true});
  press(vk::kRight);
  press(vk::kRight);
  press('V', {.ctrl = true});
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 62, 60, 62}));
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 60, 100), noteOn(0, 60, 0),
                                                    noteOn(0, 62, 100), noteOn(0, 62, 0)}));
}

TEST_F(Keys, OctaveDownPlaysTheScaleTickByTick) {
  press(vk::kDown);
  EXPECT_TRUE(controls.timer1On);
  EXPECT_EQ(controls.timer1Interval, 50);
  EXPECT_EQ(runTimer1(), (std::vector<int>{60, 59, 57, 55, 53, 52, 50, 48}));
  EXPECT_EQ(s().PartBaseKey[0], 48);
  EXPECT_EQ(view.octaveLabel(),
            "[↓キ－]　←                         3                       → [↑キ－]");
  EXPECT_EQ(s().PartBaseKey[1], 60);  // only the work part's base moves
}

TEST_F(Keys, OctaveShiftsInMinorAndWithoutTheAnimation) {
  s().Major = 0;
  s().PartBaseKey[0] = 57;
  press(vk::kDown);
  EXPECT_EQ(runTimer1(), (std::vector<int>{57, 55, 53, 52, 50, 48, 47, 45}));
  press(vk::kUp);
  EXPECT_EQ(runTimer1(), (std::vector<int>{45, 47, 48, 50, 52, 53, 55, 57}));
  s().UpDownAction = 0;
  press(vk::kUp);
  EXPECT_EQ(runTimer1(), (std::vector<int>{69}));
  EXPECT_EQ(s().PartBaseKey[0], 69);
}

TEST_F(Keys, OctaveLimitsAndRunningAnimationRefuseUpAndDown) {
  s().PartBaseKey[0] = 26;
  press(vk::kDown);
  EXPECT_FALSE(controls.timer1On);
  s().PartBaseKey[0] = 80;
  press(vk::kUp);
  EXPECT_FALSE(controls.timer1On);
  s().PartBaseKey[0] = 60;
  press(vk::kUp);
  s().SlideStep = 18;
  press(vk::kDown);
  EXPECT_EQ(s().SlideStep, 18);
  controls.keyboardPage = false;
  controls.timer1On = false;
  press(vk::kUp);
  EXPECT_FALSE(controls.timer1On);
}

TEST_F(Keys, SlideToMinorAndBack) {
  editor.input().slide(false);
  EXPECT_EQ(controls.timer1Interval, 200);
  EXPECT_EQ(runTimer1(), (std::vector<int>{60, 59, 57}));
  EXPECT_EQ(s().PartBaseKey[0], 57);
  EXPECT_EQ(controls.keyboardBarX, 80);
  editor.input().slide(true);
  EXPECT_EQ(runTimer1(), (std::vector<int>{57, 59, 60}));
  EXPECT_EQ(controls.keyboardBarX, 0);
}

TEST_F(Keys, ReleaseEndsTheNoteThatWasStartedEvenAfterAnOctaveShift) {
  // Regression: the release used to end the pitch of the new base, leaving
  // the first note sounding for ever.
  s().UpDownAction = 0;
  press('C');
  press(vk::kUp);
  runTimer1();
  midi.clear();
  release('C');
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 60, 0)}));
  midi.clear();
  tap('C');  // the key is not stuck
  EXPECT_EQ(midi.messages().front(), noteOn(0, 72, 100));
}

TEST_F(Keys, PercussionPadEntersItsDrumKeyAndMovesOn) {
  s().PadChoice[0] = 3;               // "38 Acoustic Snare"
  editor.score().selectWorkPart(10);  // the percussion part
  midi.clear();
  editor.input().percussionButtonClick(0);
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(9, 38, 100)}));
  EXPECT_EQ(pitches(9), (std::vector<int32_t>{38}));
  EXPECT_TRUE(isEndMarker(*s().CurNode[9]));
  EXPECT_EQ(s().BarFill[9], 8);
}

TEST_F(Keys, BusyDropsKeyPresses) {
  s().Busy = 1;
  press('C');
  EXPECT_TRUE(midi.messages().empty());
  EXPECT_TRUE(pitches().empty());
}

TEST_F(Keys, BlinkDrawsAndErasesTheCursorAndRespectsTheOptions) {
  editor.input().Timer2Timer();
  EXPECT_EQ(s().CursorOff, 0);
  EXPECT_EQ(view.invertedLines().size(), 1u);
  editor.input().Timer2Timer();
  EXPECT_EQ(s().CursorOff, 1);
  EXPECT_TRUE(view.invertedLines().empty());

  s().BlinkCursor = 0;
  editor.input().Timer2Timer();
  EXPECT_EQ(s().CursorOff, 0);
  editor.input().Timer2Timer();  // without blinking the mark stays
  EXPECT_EQ(s().CursorOff, 0);
  tap('C');  // an edit takes the mark off; the next tick brings it back
  EXPECT_EQ(s().CursorOff, 1);
  editor.input().Timer2Timer();
  EXPECT_EQ(s().CursorOff, 0);
}

}  // namespace
}  // namespace kelvara
