// A phrase shaped with the selection commands (velocity ramp, tuplet, length
// adjustment, shifted tail), exported and read back by the independent reader.
#include <gtest/gtest.h>

#include "files/midi_export.h"
#include "files_fixture.h"
#include "score/headless_score_view.h"
#include "score/modifiers.h"
#include "score/null_score_drawing.h"
#include "score/score_editor.h"
#include "score/tuplets.h"
#include "support/scripted_modifier_dialogs.h"

namespace kelvara::testing {
namespace {

class ShapedPhrase : public FilesTest {
 protected:
  ShapedPhrase() {
    s.CurNode[0] = endMarkerOf(s.PartHead[0]);
    s.PageNode = s.CurNode[0];
  }
  // Selects `count` records from record `from` with Shift+Right moves.
  void select(int from, int count) {
    s.CurNode[0] = firstRecordOf(s.PartHead[0]);
    s.BarNo[0] = 1;
    s.BarFill[0] = 0;
    s.CursorX[0] = kMusicLeft;
    for (int i = 0; i < from; ++i) editor.right();
    editor.selection().grab();
    for (int i = 0; i < count; ++i) editor.right();
    editor.selection().extendToCursor();
  }

  HeadlessScoreView view;
  NullScoreDrawing drawing;
  ScoreEditor editor{s, drawing, view};
  Tuplets tuplets{s, drawing, view, editor.selection()};
  NoteModifiers modifiers{s, drawing, view, editor.selection()};
  ScriptedModifierDialogs dialogs;
};

TEST_F(ShapedPhrase, ExportPlaysTheShapes) {
  for (int32_t p : {60, 62, 64, 65}) add(p, 8);
  for (int32_t p : {67, 69, 71}) add(p, 8);
  add(72, 16);
  add(76, 16);
  selectOnly({0});

  select(0, 4);
  dialogs.velocities.push_back({"40", "100"});
  modifiers.Change_vel(dialogs);
  select(4, 3);
  ASSERT_TRUE(tuplets.Change_renpu(4));
  select(7, 1);
  dialogs.lengths.push_back({"1/16", false});
  modifiers.Change_dl(dialogs);
  select(8, 1);
  TailForm shift;
  shift.kind = TailKind::Shift;
  shift.shiftDelay = "1/16";
  shift.shiftAmount = "0.5";
  shift.lower = true;
  dialogs.tails.push_back(shift);
  modifiers.Change_yoin(dialogs);

  ASSERT_TRUE(savedataplus3(s, path("shaped.mid")).ok());
  const std::vector<std::string> lines = readWithMido(path("shaped.mid"));
  EXPECT_EQ(eventsOf(lines, 0, "on"),
            (std::vector<std::string>{
                "0 on 0 60 40", "480 on 0 62 60", "960 on 0 64 80", "1440 on 0 65 100",
                // three eighths in a quarter: 320 ticks each
                "1920 on 0 67 100", "2240 on 0 69 100", "2560 on 0 71 100", "2880 on 0 72 100",
                // the lengthened quarter overlaps the next note by a 16th
                "3841 on 0 76 100"}));
  const std::vector<std::string> offs = eventsOf(lines, 0, "off");
  ASSERT_EQ(offs.size(), 9u);
  EXPECT_EQ(offs[6], "2880 off 0 71 100");
  EXPECT_EQ(offs[7], "4080 off 0 72 100");  // a quarter and a 16th
  EXPECT_EQ(offs[8], "4801 off 0 76 100");
  // A semitone down after a 16th, back to the centre at the note's end.
  EXPECT_EQ(eventsOf(lines, 0, "bend"),
            (std::vector<std::string>{"4081 bend 0 7511", "4801 bend 0 8192"}));
}

}  // namespace
}  // namespace kelvara::testing
