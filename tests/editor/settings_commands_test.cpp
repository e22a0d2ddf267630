// The score settings and credit commands with scripted dialog answers.
#include <gtest/gtest.h>

#include "editor/editor.h"
#include "editor/settings_commands.h"
#include "input/headless_controls.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "sound/recording_midi_output.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_questions.h"

namespace kelvara {
namespace {

using testing::ScriptedDialogs;
using testing::ScriptedQuestions;

class ScoreSettings : public ::testing::Test {
 protected:
  ScoreSettings() : editor(view, controls, midi, questions), commands(editor, dialogs) {}
  void SetUp() override { ASSERT_EQ(editor.FormCreate({"", false, SOURCE_DIR "/onpu"}), ""); }

  EditorState& s() { return editor.state(); }
  // OK with the controls changed by `change`.
  void answer(const std::function<void(ScoreSettingsForm&)>& change) {
    dialogs.form3 = [change](const ScoreSettingsForm& shown) {
      ScoreSettingsForm form = shown;
      change(form);
      return std::optional<ScoreSettingsForm>(form);
    };
  }

  HeadlessScoreView view;
  HeadlessControls controls;
  RecordingMidiOutput midi;
  ScriptedQuestions questions;
  ScriptedDialogs dialogs;
  Editor editor;
  SettingsCommands commands;
};

TEST_F(ScoreSettings, ShowsTheScoreAsItIs) {
  s().KeySig = 3;
  s().TimeNum = 9;
  s().TimeDen = 8;
  s().Tempo = 132;
  s().Major = 0;
  commands.BitBtn3Click();
  ASSERT_EQ(dialogs.shownTForm3.size(), 1u);
  const ScoreSettingsForm& shown = dialogs.shownTForm3[0];
  EXPECT_EQ(shown.keyIndex, 3);
  EXPECT_EQ(shown.timeIndex, 3);
  EXPECT_EQ(shown.tempoText, "132");
  EXPECT_FALSE(shown.major) << "the current major/minor choice";
  EXPECT_EQ(view.focusCount(), 1);

  s().TimeNum = 5;  // from a file: not in the list
  commands.BitBtn3Click();
  EXPECT_EQ(dialogs.shownTForm3[1].timeIndex, -1);
}

TEST_F(ScoreSettings, ATimeChangeRedrawsAndTheSameChoiceDoesNot) {
  answer([](ScoreSettingsForm& f) { f.timeIndex = 4; });
  const int shown = view.showCount();
  commands.BitBtn3Click();
  EXPECT_EQ(s().TimeNum, 6);
  EXPECT_EQ(s().TimeDen, 8);
  EXPECT_EQ(s().BarLen(), 48);
  EXPECT_GT(view.showCount(), shown);
  EXPECT_TRUE(s().Modified);

  const int again = view.showCount();
  commands.BitBtn3Click();
  EXPECT_EQ(view.showCount(), again) << "nothing changed: no redraw";

  answer([](ScoreSettingsForm& f) { f.tempoText = "90"; });
  commands.BitBtn3Click();
  EXPECT_EQ(s().Tempo, 90);
  EXPECT_EQ(view.showCount(), again) << "a tempo alone does not redraw";
}

TEST_F(ScoreSettings, ATimeChangeCountsEveryPartsBarPositionAgain) {
  for (int i = 0; i < 12; ++i) {
    editor.score().InsertOnpu(60, 8);
    editor.score().rightshift();
  }
  ASSERT_EQ(s().BarNo[0], 2);                             // 96 64ths in 4/4
  answer([](ScoreSettingsForm& f) { f.timeIndex = 5; });  // 3/8: 24 a bar
  commands.BitBtn3Click();
  EXPECT_EQ(s().BarNo[0], 5);
  EXPECT_EQ(s().BarFill[0], 0);
}

// Regression: a rest that fits the score file in 4/4 drew too wide for it in
// 3/8, and the score could then neither be saved nor kept as a recovery copy.
TEST_F(ScoreSettings, ATimeThatWouldDrawARecordTooWideIsRefused) {
  TOnpu* rest = makeRecord(kRestPitch, 936 * 64, 1);  // 936 cells in 4/4, the most
  linkBefore(endMarkerOf(s().PartHead[2]), rest);
  answer([](ScoreSettingsForm& f) { f.timeIndex = 5; });  // 3/8
  commands.BitBtn3Click();
  ASSERT_EQ(questions.errors.size(), 1u);
  EXPECT_NE(questions.errors[0].find(partLabel(2) + " の 1 小節目"), std::string::npos)
      << questions.errors[0];
  EXPECT_EQ(s().TimeNum, 4);
  EXPECT_EQ(s().TimeDen, 4);
  rest->Length = 468 * 24;  // 936 cells in 3/8 as well
  commands.BitBtn3Click();
  EXPECT_EQ(questions.errors.size(), 1u);
  EXPECT_EQ(s().TimeNum, 3);
}

TEST_F(ScoreSettings, ABadTempoIsRefusedBeforeAnythingIsApplied) {
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"abc", "'abc' は整数ではありません"},
      {"12.5", "'12.5' は整数ではありません"},
      {"", "'' は整数ではありません"},
      {"3", "テンポ 3 は使えません。4 から 65535 までの整数を入れてください。"},
      {"70000", "テンポ 70000 は使えません。4 から 65535 までの整数を入れてください。"},
      {"99999999999999999999",
       "テンポ 99999999999999999999 は使えません。4 から 65535 までの整数を入れてください。"},
  };
  for (const auto& [text, message] : bad) {
    questions.errors.clear();
    answer([text](ScoreSettingsForm& f) {
      f.tempoText = text;
      f.keyIndex = 0;
      f.timeIndex = 6;
      f.major = false;
    });
    commands.BitBtn3Click();
    ASSERT_EQ(questions.errors.size(), 1u) << text;
    EXPECT_EQ(questions.errors[0], message);
    EXPECT_EQ(s().KeySig, 7) << text;
    EXPECT_EQ(s().TimeNum, 4) << text;
    EXPECT_EQ(s().Major, 1) << text;
    EXPECT_EQ(s().Tempo, 120) << text;
    EXPECT_FALSE(controls.timer1On) << "no slide";
  }
  int32_t tempo = 0;
  EXPECT_FALSE(checkTempoText(" 4 ", tempo));
  EXPECT_EQ(tempo, 4);
  EXPECT_FALSE(checkTempoText("65535", tempo));
}

TEST_F(ScoreSettings, MajorMinorSlidesTheKeyboardAndCancelChangesNothing) {
  answer([](ScoreSettingsForm& f) { f.major = false; });
  const int shown = view.showCount();
  commands.BitBtn3Click();
  EXPECT_EQ(s().Major, 0);
  EXPECT_TRUE(controls.timer1On) << "the keyboard slide runs";
  EXPECT_EQ(s().SlideStep, 4);
  EXPECT_EQ(view.showCount(), shown) << "major/minor alone does not redraw";

  controls.timer1On = false;
  dialogs.form3 = nullptr;  // Cancel
  commands.BitBtn3Click();
  EXPECT_EQ(s().Major, 0);
  EXPECT_FALSE(controls.timer1On);
  EXPECT_EQ(view.focusCount(), 2);
}

TEST_F(ScoreSettings, CreditBoxesTakeEffectAtOnceAndWhenClosed) {
  std::vector<int32_t> blinkSeen;
  dialogs.form5 = [&](const AuxiliaryOptions& shown,
                      const std::function<void(const AuxiliaryOptions&)>& changed) {
    EXPECT_TRUE(shown.blinkCursor);
    changed({false, true});
    blinkSeen.push_back(s().BlinkCursor);
    return AuxiliaryOptions{false, false};
  };
  commands.BitBtn6Click();
  EXPECT_EQ(blinkSeen, std::vector<int32_t>{0}) << "while the dialog is open";
  EXPECT_EQ(s().BlinkCursor, 0);
  EXPECT_EQ(s().UpDownAction, 0);
  EXPECT_EQ(view.focusCount(), 1);
  EXPECT_FALSE(s().Modified) << "the options are no part of the score";
}

TEST_F(ScoreSettings, StandardNotationBoxRedrawsAtOnceAndKeepsTheCursor) {
  for (int i = 0; i < 20; ++i) {
    editor.score().InsertOnpu(66, 16);
    editor.score().refreshAfterInput();
    editor.score().rightshift();
  }
  for (int i = 0; i < 4; ++i) editor.score().left();  // the start of bar 5
  const int32_t x = s().CursorX[0];
  const auto offState = s().AccState;
  s().Modified = false;
  std::vector<int> shownWhileOpen;
  dialogs.form5 = [&](const AuxiliaryOptions& shown,
                      const std::function<void(const AuxiliaryOptions&)>& changed) {
    EXPECT_FALSE(shown.standardNotation);
    const int before = view.showCount();
    changed({true, true, true});
    shownWhileOpen.push_back(view.showCount() - before);
    return AuxiliaryOptions{true, true, true};
  };
  commands.BitBtn6Click();
  EXPECT_TRUE(s().StandardNotation);
  ASSERT_EQ(shownWhileOpen.size(), 1u);
  EXPECT_GT(shownWhileOpen[0], 0) << "the page is shown again while the dialog is open";
  EXPECT_EQ(s().CursorX[0], x);
  // The usual drawing keeps the sharp of bar 1 in force; after a bar
  // line standard notation has the key's F again.
  EXPECT_EQ(offState[0], 1);
  EXPECT_EQ(s().AccState[0], 0);
  EXPECT_FALSE(s().Modified) << "the option is no part of the score";
  dialogs.form5 = nullptr;  // closed without a change: still on
  commands.BitBtn6Click();
  EXPECT_TRUE(dialogs.shownTForm5.back().standardNotation);
  EXPECT_TRUE(s().StandardNotation);
}

TEST(TimeList, ItemsAndTheirSignatures) {
  EXPECT_EQ(timeListItemFor(4, 4), 0);
  EXPECT_EQ(timeListItemFor(2, 2), 6);
  EXPECT_EQ(timeListItemFor(5, 4), -1);
  EXPECT_STREQ(kKeyListItems[7], "C");
  EXPECT_STREQ(kKeyListItems[14], "C-(b7)");
}

}  // namespace
}  // namespace kelvara
