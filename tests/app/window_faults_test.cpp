// Regressions found using the editor under a real X server: held keys whose
// repeats come unmarked, the part switch during the keyboard animation,
// Escape after an overlay entry, and notices at start-up.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <map>
#include <utility>

#include "window_fixture.h"

namespace kelvara::testing {
namespace {

using WindowFaults = WindowTest;

// Notes left sounding after the messages: (channel, key) -> count.
std::map<std::pair<int, int>, int> hanging(const std::vector<uint32_t>& messages) {
  std::map<std::pair<int, int>, int> on;
  for (uint32_t m : messages) {
    const ShortMessage msg = unpackShortMessage(m);
    const std::pair<int, int> note{msg.channel(), msg.data1};
    if (msg.isNoteOn()) ++on[note];
    if (msg.isNoteOff() && on[note] > 0 && --on[note] == 0) on.erase(note);
  }
  return on;
}

// Regression: holding "c" for 0.8 s entered a half note tied to an eighth and
// sounded again and again: X11 delivered the repeats as plain release and
// press pairs, each with one time.
TEST_F(WindowFaults, HeldKeyWithUnmarkedRepeatPairsSoundsAndEntersOneNote) {
  keyAt(true, Qt::Key_C, 1000);
  for (ulong t = 1500; t < 2300; t += 40) {
    keyAt(false, Qt::Key_C, t);
    keyAt(true, Qt::Key_C, t);
  }
  keyAt(false, Qt::Key_C, 2310);
  settleRelease();
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 60, 100), noteOn(0, 60, 0)}));
  ASSERT_EQ(pitches(), (std::vector<int32_t>{60}));
  EXPECT_EQ(s().CurNode[0]->Length, 8) << "an eighth, not lengthened by the repeats";
}

TEST_F(WindowFaults, KeyPressedAgainAfterARealReleaseEntersAgain) {
  keyAt(true, Qt::Key_C, 100);
  keyAt(false, Qt::Key_C, 180);
  keyAt(true, Qt::Key_C, 260);  // another time: a second press
  keyAt(false, Qt::Key_C, 340);
  settleRelease();
  EXPECT_EQ(sounded(), (std::vector<int>{60, 60}));
  EXPECT_TRUE(hanging(midi.messages()).empty());
  EXPECT_EQ(s().CurNode[0]->Length, 16) << "the same pitch twice lengthens the open note";

  // A release held back goes ahead of the next key's press, in order.
  midi.clear();
  keyAt(true, Qt::Key_B, 400);
  keyAt(false, Qt::Key_B, 480);
  keyAt(true, Qt::Key_V, 480);
  EXPECT_EQ(midi.messages(),
            (std::vector<uint32_t>{noteOn(0, 64, 100), noteOn(0, 64, 0), noteOn(0, 62, 100)}));
  keyAt(false, Qt::Key_V, 560);
  settleRelease();
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 64, 62}));
}

TEST_F(WindowFaults, HeldArrowKeyStillMovesOnEachRepeat) {
  tap(Qt::Key_C);
  tap(Qt::Key_V);
  tap(Qt::Key_B);
  TOnpu* last = s().CurNode[0];
  keyAt(true, Qt::Key_Left, 1000);
  keyAt(false, Qt::Key_Left, 1500);
  keyAt(true, Qt::Key_Left, 1500);
  keyAt(false, Qt::Key_Left, 1540);
  settleRelease();
  EXPECT_EQ(s().CurNode[0], last->Prev) << "the first press closes the open note, the repeat moves";
}

// Regression: switching the work part while the octave animation ran left
// both parts' bases between octaves and a note sounding on the first part.
TEST_F(WindowFaults, PartSwitchDuringTheOctaveAnimationEndsItFirst) {
  auto* timer1 = child<QTimer>("Timer1");
  press(Qt::Key_Down);
  ASSERT_TRUE(waitUntil([this] { return s().SlideStep >= 11; }));
  ASSERT_TRUE(timer1->isActive());
  child<QComboBox>("ComboBox1")->setCurrentIndex(1);
  EXPECT_FALSE(timer1->isActive());
  EXPECT_EQ(s().WorkPart, 1);
  EXPECT_EQ(s().PartBaseKey[0], 48);
  EXPECT_EQ(s().PartBaseKey[1], 60);
  EXPECT_TRUE(hanging(midi.messages()).empty());
  for (uint32_t m : midi.messages()) EXPECT_EQ(unpackShortMessage(m).channel(), 0);
  EXPECT_TRUE(child<QLabel>("Label2")->text().contains(QStringLiteral(" 4 ")))
      << "the label shows the new work part's octave";

  const size_t sent = midi.messages().size();
  QTest::qWait(150);
  EXPECT_EQ(midi.messages().size(), sent) << "nothing plays on after the switch";
  child<QComboBox>("ComboBox1")->setCurrentIndex(0);
  EXPECT_TRUE(child<QLabel>("Label2")->text().contains(QStringLiteral(" 3 ")));
}

TEST_F(WindowFaults, PartSwitchDuringTheSlideToMinorEndsItFirst) {
  QWidget* bar = child<QWidget>("Shape1");
  const int barX = bar->x();
  s().Major = 0;
  window->editor().input().slide(false);
  ASSERT_TRUE(waitUntil([this] { return s().SlideStep == 6; }));
  child<QComboBox>("ComboBox1")->setCurrentIndex(2);
  EXPECT_EQ(s().PartBaseKey[0], 57);
  EXPECT_EQ(s().PartBaseKey[2], 60);
  EXPECT_EQ(bar->x(), barX + 80);
  EXPECT_TRUE(hanging(midi.messages()).empty());
  EXPECT_FALSE(child<QTimer>("Timer1")->isActive());
}

// Regression: Escape after an overlay entry deleted the note that was there.
TEST_F(WindowFaults, EscapeAfterOverlayDropsOnlyTheAddedPitches) {
  tap(Qt::Key_C);
  tap(Qt::Key_Shift);  // the note is finished
  tap(Qt::Key_Left);   // the cursor line before it
  TOnpu* note = s().CurNode[0];
  ASSERT_EQ(note->Closed, 1);
  click(child<QToolButton>("SpeedButton11"));

  tap(Qt::Key_B);
  tap(Qt::Key_M);
  ASSERT_EQ(note->Pitch[0], 67);
  ASSERT_EQ(note->Closed, 0) << "reopened for more pitches";
  tap(Qt::Key_Escape);
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60}));
  EXPECT_EQ(s().CurNode[0], note);
  EXPECT_EQ(note->Pitch[1], -1);
  EXPECT_EQ(note->LastIndex, 0);
  EXPECT_EQ(note->Length, 8);
  EXPECT_EQ(note->Closed, 1);

  // A pitch that was there only lengthens the note; Escape takes that back.
  tap(Qt::Key_C);
  ASSERT_EQ(note->Length, 16);
  tap(Qt::Key_Escape);
  EXPECT_EQ(note->Length, 8);
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60}));

  // A note entered new in overlay mode is still dropped whole.
  tap(Qt::Key_Right);
  tap(Qt::Key_V);
  ASSERT_EQ(pitches(), (std::vector<int32_t>{60, 62}));
  tap(Qt::Key_Escape);
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60}));
}

// Regression: the no-audio notice opened at the screen's corner over the
// window's buttons and took the first notes typed.
TEST_F(WindowFaults, StartUpNoticesShowInTheWindowWithoutTakingTheKeys) {
  midi.notice = "音声出力装置を開けないため、内蔵シンセサイザーの音は鳴りません。";
  ASSERT_NO_FATAL_FAILURE(open());
  auto* panel = child<QWidget>("NoticePanel");
  ASSERT_TRUE(waitUntil([panel] { return panel->isVisible(); }));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "nothing modal";
  EXPECT_LE((panel->geometry().center() - window->rect().center()).manhattanLength(), 2)
      << "centred on the window";
  EXPECT_TRUE(panel->findChild<QLabel*>()->text().contains(QStringLiteral("鳴りません")));

  tap(Qt::Key_C);
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60})) << "the key went to the editor";
  EXPECT_EQ(sounded(), (std::vector<int>{60}));
  EXPECT_EQ(focused(), edit1());
  EXPECT_TRUE(panel->isVisible());

  click(child<QPushButton>("NoticeOk"));
  EXPECT_FALSE(panel->isVisible());
  EXPECT_EQ(focused(), edit1());
}

}  // namespace
}  // namespace kelvara::testing
