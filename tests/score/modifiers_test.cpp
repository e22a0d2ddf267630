#include <gtest/gtest.h>

#include "score/modifiers.h"
#include "score_fixture.h"
#include "support/score_checks.h"
#include "support/scripted_modifier_dialogs.h"

namespace kelvara::testing {
namespace {

class Modifiers : public ScoreTest {
 protected:
  void selectAllFromStart(int count) {
    cursorToStart();
    editor.selection().grab();
    moveRight(count);
    editor.selection().extendToCursor();
  }
  std::vector<int32_t> velocities() {
    std::vector<int32_t> out;
    for (TOnpu* r = first(); !isEndMarker(*r); r = r->Next) out.push_back(r->Velocity);
    return out;
  }

  ScriptedModifierDialogs dialogs;
  NoteModifiers modifiers{s, drawing, view, editor.selection()};
};

TEST_F(Modifiers, LengthLongerAndShorterAndReset) {
  append(60, 16);
  append(62, 16);
  selectAllFromStart(2);
  dialogs.lengths.push_back({"1/16", false});
  modifiers.Change_dl(dialogs);
  EXPECT_EQ(dialogs.shownLength.at(0).amount, "0/4");  // a new record shows 0/4
  EXPECT_FALSE(dialogs.shownLength.at(0).shorter);
  EXPECT_EQ(first()->LenNum, 1);
  EXPECT_EQ(first()->LenDen, 16);
  EXPECT_EQ(first()->Next->LenNum, 1);
  EXPECT_EQ(s.SelActive, 0);
  EXPECT_EQ(drawing.pageDraw, 1);  // the length mark is drawn
  EXPECT_GE(view.focusCount(), 1);

  selectAllFromStart(1);
  dialogs.lengths.push_back({"1/8", true});
  modifiers.Change_dl(dialogs);
  EXPECT_EQ(dialogs.shownLength.at(1).amount, "1/16");
  EXPECT_EQ(first()->LenNum, -1);
  EXPECT_EQ(first()->LenDen, 8);

  selectAllFromStart(1);
  EXPECT_TRUE(dialogs.shownLength.at(1).shorter == false);
  dialogs.lengths.push_back({"0", true});
  modifiers.Change_dl(dialogs);
  EXPECT_TRUE(dialogs.shownLength.at(2).shorter);  // preset from -1/8
  EXPECT_EQ(dialogs.shownLength.at(2).amount, "1/8");
  EXPECT_EQ(first()->LenNum, 0);
  EXPECT_EQ(first()->LenDen, 4);
}

TEST_F(Modifiers, VelocityRampsFollowStartTimes) {
  for (int i = 0; i < 4; ++i) append(60 + i, 8);
  selectAllFromStart(4);
  dialogs.velocities.push_back({"40", "100"});
  modifiers.Change_vel(dialogs);
  EXPECT_EQ(velocities(), (std::vector<int32_t>{40, 60, 80, 100}));
  EXPECT_EQ(drawing.pageDraw, 0);  // velocity is not drawn

  // A triplet of eighths in a quarter and a quarter: durations 0, 0, 16, 16.
  s.releaseLists();
  s.createLists();
  for (int i = 0; i < 3; ++i) append(60 + i, 8);
  append(64, 16);
  makeTuplet(first(), 3, 16);
  selectAllFromStart(4);
  dialogs.velocities.push_back({"40", "100"});
  modifiers.Change_vel(dialogs);
  EXPECT_EQ(velocities(), (std::vector<int32_t>{40, 40, 40, 100}));
  EXPECT_EQ(dialogs.shownVelocity.at(1).from, "100");
  EXPECT_EQ(dialogs.shownVelocity.at(1).to, "100");

  // Over a single record: From; made backwards: the same order.
  cursorToStart();
  moveRight(4);
  editor.selection().grab();
  editor.left();
  editor.selection().extendToCursor();
  dialogs.velocities.push_back({"7", "120"});
  modifiers.Change_vel(dialogs);
  EXPECT_EQ(velocities(), (std::vector<int32_t>{40, 40, 40, 7}));
}

TEST_F(Modifiers, TailShiftVibratoAndConstant) {
  append(60, 16);
  append(62, 16);
  selectAllFromStart(2);
  TailForm shift;
  shift.kind = TailKind::Shift;
  shift.shiftDelay = "1/8";
  shift.shiftAmount = "1";
  dialogs.tails.push_back(shift);
  modifiers.Change_yoin(dialogs);
  EXPECT_EQ(first()->YoinType, 1);
  EXPECT_EQ(first()->YoinStartNum, 1);
  EXPECT_EQ(first()->YoinStartDen, 8);
  EXPECT_EQ(first()->YoinAmount, 100);

  // Opened again on that record the dialog shows what was stored.
  selectAllFromStart(1);
  TailForm vibe;
  vibe.kind = TailKind::Vibrato;
  vibe.vibratoDelay = "0/4";
  vibe.vibratoAmount = "0.5";
  vibe.vibratoPeriod = "4";
  dialogs.tails.push_back(vibe);
  modifiers.Change_yoin(dialogs);
  const TailForm& shown = dialogs.shownTail.at(1);
  EXPECT_EQ(shown.kind, TailKind::Shift);
  EXPECT_EQ(shown.shiftDelay, "1/8");
  EXPECT_EQ(shown.shiftAmount, "1");
  EXPECT_FALSE(shown.lower);
  EXPECT_EQ(first()->YoinType, 2);
  EXPECT_EQ(first()->YoinAmount, 50);
  EXPECT_EQ(first()->YoinPeriod, 4);

  // A downward semitone is taken like an upward one.
  selectAllFromStart(1);
  shift.shiftAmount = "0.5";
  shift.lower = true;
  dialogs.tails.push_back(shift);
  modifiers.Change_yoin(dialogs);
  EXPECT_EQ(first()->YoinAmount, -50);

  selectAllFromStart(1);
  TailForm constant;
  constant.kind = TailKind::Constant;
  constant.vibratoAmount = "0.25";
  dialogs.tails.push_back(constant);
  modifiers.Change_yoin(dialogs);
  EXPECT_TRUE(dialogs.shownTail.at(3).lower);
  EXPECT_EQ(first()->YoinType, 0);
  EXPECT_EQ(first()->YoinStartNum, 0);
  EXPECT_EQ(first()->YoinStartDen, 4);
  EXPECT_EQ(first()->YoinAmount, 25);
}

TEST_F(Modifiers, RefusedValuesNameTheirBoxAndLeaveScoreAndSelection) {
  append(60, 16);
  append(62, 16);
  selectAllFromStart(2);
  dialogs.lengths = {{"x/16", false}, {"1/0", false}, {"1/256", false}, {"abc", false}};
  modifiers.Change_dl(dialogs);
  dialogs.velocities = {{"40", "128"}, {"-1", "10"}, {"4 0", "10"}};
  modifiers.Change_vel(dialogs);
  TailForm vibe;
  vibe.kind = TailKind::Vibrato;
  vibe.vibratoAmount = "1";
  vibe.vibratoPeriod = "1";
  TailForm wide = vibe;
  wide.vibratoPeriod = "4";
  wide.vibratoAmount = "6.5";
  TailForm shift;
  shift.kind = TailKind::Shift;
  shift.shiftAmount = "1";
  shift.shiftDelay = "1/";
  dialogs.tails = {vibe, wide, shift};
  modifiers.Change_yoin(dialogs);

  std::vector<FormBox> boxes;
  for (const FormError& e : dialogs.refusals) {
    boxes.push_back(e.box);
    EXPECT_FALSE(e.message.empty());
  }
  EXPECT_EQ(boxes, (std::vector<FormBox>{FormBox::LengthAmount, FormBox::LengthAmount,
                                         FormBox::LengthAmount, FormBox::LengthAmount,
                                         FormBox::VelocityTo, FormBox::VelocityFrom,
                                         FormBox::VelocityFrom, FormBox::VibratoPeriod,
                                         FormBox::VibratoAmount, FormBox::ShiftDelay}));
  EXPECT_EQ(s.SelActive, 1);
  EXPECT_EQ(first()->LenNum, 0);
  EXPECT_EQ(first()->Velocity, 100);
  EXPECT_EQ(first()->YoinType, 0);
  EXPECT_EQ(drawing.pageDraw, 0);
}

TEST_F(Modifiers, CancelAndNoSelectionChangeNothing) {
  append(60, 16);
  cursorToStart();
  modifiers.Change_vel(dialogs);
  EXPECT_TRUE(dialogs.shownVelocity.empty());  // no dialog without a selection
  selectAllFromStart(1);
  modifiers.Change_vel(dialogs);  // the script is empty: cancel
  EXPECT_EQ(dialogs.shownVelocity.size(), 1u);
  EXPECT_EQ(s.SelActive, 1);
  EXPECT_EQ(first()->Velocity, 100);
}

TEST(ModifierForms, TailControlsFollowTheKind) {
  EXPECT_FALSE(tailControlsFor(TailKind::Constant).shift);
  EXPECT_FALSE(tailControlsFor(TailKind::Constant).vibrato);
  EXPECT_TRUE(tailControlsFor(TailKind::Shift).shift);
  EXPECT_FALSE(tailControlsFor(TailKind::Shift).vibrato);
  EXPECT_TRUE(tailControlsFor(TailKind::Vibrato).vibrato);
  EXPECT_EQ(tonesText(100), "1");
  EXPECT_EQ(tonesText(-50), "0.5");
  EXPECT_EQ(tonesText(57), "0.57");
  const auto read = readTailForm({TailKind::Shift, "1/16", "0.57", false, "", "", ""});
  ASSERT_TRUE(std::holds_alternative<TailValues>(read));
  EXPECT_EQ(std::get<TailValues>(read).amount, 57);
}

}  // namespace
}  // namespace kelvara::testing
