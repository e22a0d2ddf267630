// Note entry through the editor window: real key and mouse events on the
// window's controls, the sound going to a recording MIDI output.
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>
#include <set>
#include <thread>

#include "window_fixture.h"

namespace kelvara::testing {
namespace {

using WindowKeys = WindowTest;

// The most notes sounding at once over the messages sent.
int mostSoundingAtOnce(const std::vector<uint32_t>& messages) {
  std::multiset<int> sounding;
  int most = 0;
  for (uint32_t m : messages) {
    const ShortMessage msg = unpackShortMessage(m);
    if (msg.isNoteOn()) sounding.insert(msg.data1);
    if (msg.isNoteOff() && sounding.count(msg.data1) > 0) sounding.erase(sounding.find(msg.data1));
    most = std::max(most, static_cast<int>(sounding.size()));
  }
  return most;
}

// On a screen of two device pixels a pixel the score is drawn at the
// screen's resolution, not as the 1x picture with each pixel doubled (where
// every 2 x 2 block is of one grey): the edges of heads, flags and clefs
// split blocks; staff lines, stems and bar lines, two pixels wide, do not. Runs under QT_SCALE_FACTOR=2
// (the test WindowKeysAtTwoDevicePixels).
TEST_F(WindowKeys, TheScoreIsSharpOnScreensOfTwoDevicePixelsAPixel) {
  QWidget* score = child<QWidget>("Image1");
  if (score->devicePixelRatioF() < 2) GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
  for (const Qt::Key key : {Qt::Key_C, Qt::Key_V, Qt::Key_B}) press(key);
  const QImage shot =
      score->grab(QRect(0, 0, 742, 384)).toImage().convertToFormat(QImage::Format_Grayscale8);
  ASSERT_EQ(shot.width(), 742 * 2);
  int inked = 0;
  int split = 0;
  for (int y = 0; y + 1 < shot.height(); y += 2) {
    const uchar* top = shot.constScanLine(y);
    const uchar* bottom = shot.constScanLine(y + 1);
    for (int x = 0; x + 1 < shot.width(); x += 2) {
      const int darkest = std::min({top[x], top[x + 1], bottom[x], bottom[x + 1]});
      const int lightest = std::max({top[x], top[x + 1], bottom[x], bottom[x + 1]});
      if (darkest > 128) continue;
      ++inked;
      split += lightest - darkest > 32;
    }
  }
  EXPECT_GT(inked, 1000);
  EXPECT_GT(split, inked / 20) << split << " of " << inked;
}

TEST_F(WindowKeys, MappedKeySoundsEntersAndMarksTheKeyboardUntilReleased) {
  QWidget* keyboard = child<QWidget>("Image2");
  QWidget* score = child<QWidget>("Image1");
  const QImage keyboardBefore = keyboard->grab().toImage();
  const QImage scoreBefore = score->grab().toImage();

  press(Qt::Key_C);
  ASSERT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 60, 100)}));
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60}));
  EXPECT_NE(keyboard->grab().toImage(), keyboardBefore) << "the key is marked";
  EXPECT_NE(score->grab().toImage(), scoreBefore) << "the note is drawn";

  release(Qt::Key_C);
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 60, 100), noteOn(0, 60, 0)}));
  EXPECT_EQ(keyboard->grab().toImage(), keyboardBefore) << "the mark is gone";
  EXPECT_EQ(focused(), edit1());
}

TEST_F(WindowKeys, HeldKeyRepeatingSoundsAndEntersOnceAndItsReleaseEndsItOnce) {
  press(Qt::Key_B);
  for (int i = 0; i < 5; ++i) repeat(Qt::Key_B);
  release(Qt::Key_B);
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 64, 100), noteOn(0, 64, 0)}));
  ASSERT_EQ(pitches(), (std::vector<int32_t>{64}));
  EXPECT_EQ(s().CurNode[0]->Length, 8) << "entered once, not lengthened by the repeats";
}

TEST_F(WindowKeys, PercussionPageTakesRestsButNoNoteKeys) {
  showTab(1);
  ASSERT_EQ(child<QTabWidget>("PageControl1")->currentIndex(), 1);
  EXPECT_EQ(focused(), edit1()) << "the tab click gives the focus back";
  tap(Qt::Key_C);
  tap(Qt::Key_Comma);
  EXPECT_TRUE(midi.messages().empty());
  EXPECT_TRUE(pitches().empty());
  tap(Qt::Key_Space);
  EXPECT_EQ(pitches(), (std::vector<int32_t>{0}));
  EXPECT_TRUE(midi.messages().empty()) << "a rest makes no sound";

  // Back on the keyboard page the keys play again, the released one included.
  showTab(0);
  tap(Qt::Key_C);
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 60, 100), noteOn(0, 60, 0)}));
}

TEST_F(WindowKeys, OctaveDownPlaysTheScaleOneNoteAtATimeAndIgnoresKeysMeanwhile) {
  auto* timer1 = child<QTimer>("Timer1");
  press(Qt::Key_Down);
  ASSERT_TRUE(timer1->isActive());
  EXPECT_EQ(timer1->interval(), 50);
  press(Qt::Key_Down);  // refused while the animation runs
  ASSERT_TRUE(waitUntil([timer1] { return !timer1->isActive(); }));

  EXPECT_EQ(sounded(), (std::vector<int>{60, 59, 57, 55, 53, 52, 50, 48}));
  EXPECT_EQ(mostSoundingAtOnce(midi.messages()), 1);
  EXPECT_EQ(midi.messages().back(), noteOn(0, 48, 0)) << "the last note is silenced";
  EXPECT_EQ(s().PartBaseKey[0], 48);
  EXPECT_TRUE(child<QLabel>("Label2")->text().contains(QStringLiteral(" 3 ")));

  midi.clear();
  tap(Qt::Key_C);
  EXPECT_EQ(sounded(), (std::vector<int>{48})) << "the keys play an octave lower";
}

TEST_F(WindowKeys, SlideToMinorAndBackPlaysThreeNotesAndMovesTheBar) {
  auto* timer1 = child<QTimer>("Timer1");
  QWidget* bar = child<QWidget>("Shape1");
  const int barX = bar->x();

  s().Major = 0;  // as the score settings dialog does before it slides
  window->editor().input().slide(false);
  EXPECT_EQ(timer1->interval(), 200);
  ASSERT_TRUE(waitUntil([timer1] { return !timer1->isActive(); }));
  EXPECT_EQ(sounded(), (std::vector<int>{60, 59, 57}));
  EXPECT_EQ(mostSoundingAtOnce(midi.messages()), 1);
  EXPECT_EQ(s().PartBaseKey[0], 57);
  EXPECT_EQ(bar->x(), barX + 80);

  midi.clear();
  tap(Qt::Key_Z);
  EXPECT_EQ(sounded(), (std::vector<int>{53})) << "the minor arrangement plays";

  midi.clear();
  s().Major = 1;
  window->editor().input().slide(true);
  ASSERT_TRUE(waitUntil([timer1] { return !timer1->isActive(); }));
  EXPECT_EQ(sounded(), (std::vector<int>{57, 59, 60}));
  EXPECT_EQ(s().PartBaseKey[0], 60);
  EXPECT_EQ(bar->x(), barX);
}

TEST_F(WindowKeys, OverlayForcesChordInputUntilInsertIsChosenAgain) {
  auto* single = child<QToolButton>("SpeedButton8");
  auto* chord = child<QToolButton>("SpeedButton9");
  auto* insert = child<QToolButton>("SpeedButton10");
  auto* overlay = child<QToolButton>("SpeedButton11");

  click(overlay);
  EXPECT_TRUE(overlay->isChecked());
  EXPECT_FALSE(insert->isChecked());
  EXPECT_TRUE(chord->isChecked());
  EXPECT_FALSE(single->isChecked());
  EXPECT_FALSE(single->isEnabled());
  EXPECT_EQ(focused(), edit1());
  tap(Qt::Key_8);  // single-note input cannot be chosen now
  EXPECT_TRUE(chord->isChecked());

  tap(Qt::Key_C);
  tap(Qt::Key_B);
  ASSERT_EQ(pitches(), (std::vector<int32_t>{64})) << "both pitches in one chord";
  EXPECT_EQ(firstRecordOf(s().PartHead[0])->Pitch[1], 60);

  click(insert);
  EXPECT_TRUE(insert->isChecked());
  EXPECT_TRUE(single->isEnabled());
  EXPECT_TRUE(chord->isChecked()) << "insert leaves chord input chosen";
  tap(Qt::Key_8);
  EXPECT_TRUE(single->isChecked());
}

TEST_F(WindowKeys, LengthKeysAndButtonsShowTheChosenLength) {
  tap(Qt::Key_6);
  EXPECT_TRUE(child<QToolButton>("SpeedButton6")->isChecked());
  EXPECT_FALSE(child<QToolButton>("SpeedButton4")->isChecked());
  click(child<QToolButton>("SpeedButton2"));
  EXPECT_TRUE(child<QToolButton>("SpeedButton2")->isChecked());
  EXPECT_FALSE(child<QToolButton>("SpeedButton6")->isChecked());
  EXPECT_EQ(focused(), edit1());
  tap(Qt::Key_C);
  EXPECT_EQ(s().CurNode[0]->Length, 2);
}

TEST_F(WindowKeys, PercussionRowEntersItsDrumInThePercussionPartAndMovesOn) {
  choose(child<QComboBox>("ComboBox1"), 10);  // "パーカッション"
  ASSERT_EQ(s().WorkPart, kPercussionPart);
  showTab(1);
  choose(child<QComboBox>("ComboBox2"), 3);
  ASSERT_EQ(child<QComboBox>("ComboBox2")->currentText(), "38 Acoustic Snare");
  tap(Qt::Key_5);  // quarter notes
  midi.clear();

  click(child<QWidget>("Button1"));
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(9, 38, 100)}));
  ASSERT_EQ(pitches(kPercussionPart), (std::vector<int32_t>{38}));
  const TOnpu* drum = firstRecordOf(s().PartHead[kPercussionPart]);
  EXPECT_EQ(drum->Length, 16);
  EXPECT_EQ(drum->Closed, 1);
  EXPECT_EQ(s().CurNode[kPercussionPart], drum->Next) << "the cursor stands after it";
  EXPECT_TRUE(isEndMarker(*s().CurNode[kPercussionPart]));
  EXPECT_EQ(focused(), edit1());

  click(child<QWidget>("Button1"));
  EXPECT_EQ(pitches(kPercussionPart), (std::vector<int32_t>{38, 38})) << "a second beat";
  EXPECT_TRUE(pitches(0).empty());
}

TEST_F(WindowKeys, WorkPartListShowsPartTenBeforeThePercussionPart) {
  auto* parts = child<QComboBox>("ComboBox1");
  choose(parts, 9);
  EXPECT_EQ(s().WorkPart, 10);
  tap(Qt::Key_C);
  choose(parts, 10);
  EXPECT_EQ(s().WorkPart, kPercussionPart);
  tap(Qt::Key_C);
  ASSERT_EQ(sounded(), (std::vector<int>{60, 60}));
  ASSERT_EQ(midi.messages().size(), 4u);
  EXPECT_EQ(unpackShortMessage(midi.messages()[0]).channel(), 10);
  EXPECT_EQ(unpackShortMessage(midi.messages()[2]).channel(), 9);
  EXPECT_EQ(pitches(10), (std::vector<int32_t>{60}));
  EXPECT_EQ(pitches(kPercussionPart), (std::vector<int32_t>{60}));
  EXPECT_TRUE(pitches(0).empty());
  EXPECT_EQ(focused(), edit1());
}

TEST_F(WindowKeys, ScoreViewFollowsTheCursorAndPageArrowsShowOtherPages) {
  auto* previous = child<QWidget>("BitBtn9");
  auto* next = child<QWidget>("BitBtn10");
  auto* scroll = child<QScrollArea>("ScrollBox1");
  tap(Qt::Key_7);  // whole notes: one bar each
  for (int bar = 1; bar <= 12; ++bar) tap(bar % 2 ? Qt::Key_C : Qt::Key_V);
  const int x = s().CursorX[0];
  const int shownFrom = scroll->horizontalScrollBar()->value();
  EXPECT_GT(x, scroll->viewport()->width()) << "the page is wider than the view";
  EXPECT_GE(x, shownFrom);
  EXPECT_LE(x, shownFrom + scroll->viewport()->width()) << "the cursor stays in view";

  for (int bar = 13; bar <= 17; ++bar) tap(bar % 2 ? Qt::Key_C : Qt::Key_V);
  ASSERT_EQ(s().PageFirstBar, 17) << "the cursor's bar starts the second page";
  EXPECT_TRUE(previous->isEnabled());
  EXPECT_FALSE(next->isEnabled());

  TOnpu* cursor = s().CurNode[0];
  QWidget* score = child<QWidget>("Image1");
  const QImage secondPage = score->grab().toImage();
  click(previous);
  EXPECT_EQ(s().PageFirstBar, 1);
  EXPECT_FALSE(previous->isEnabled());
  EXPECT_TRUE(next->isEnabled());
  EXPECT_NE(score->grab().toImage(), secondPage);
  EXPECT_EQ(s().CurNode[0], cursor) << "the cursor stays where it was";
  EXPECT_EQ(focused(), edit1());

  click(next);
  EXPECT_EQ(s().PageFirstBar, 17);
  EXPECT_TRUE(previous->isEnabled());
  EXPECT_FALSE(next->isEnabled());
}

// Regression: a key let go while the window did not have the keyboard left
// its note sounding, and the key's next press was taken for a repeat.
TEST_F(WindowKeys, NoteHeldWhenTheWindowLosesTheKeyboardIsEndedAndPlaysAgain) {
  press(Qt::Key_C);
  const BoxSeen box = clickAndAnswer(child<QWidget>("BitBtn1"), QMessageBox::Cancel,
                                     [](QMessageBox& b) { QTest::keyRelease(&b, Qt::Key_C); });
  ASSERT_TRUE(box.shown);
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 60, 100), noteOn(0, 60, 0)}));

  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  midi.clear();
  press(Qt::Key_B);
  auto* parts = child<QComboBox>("ComboBox1");
  click(parts);  // the open list takes the keys
  ASSERT_TRUE(QTest::qWaitForWindowExposed(parts->view()->window()));
  QTest::keyRelease(parts->view(), Qt::Key_B);
  QTest::keyClick(parts->view(), Qt::Key_Escape);
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 64, 100), noteOn(0, 64, 0)}));

  midi.clear();
  press(Qt::Key_V);
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));  // the release goes elsewhere
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 62, 100), noteOn(0, 62, 0)}));

  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  midi.clear();
  press(Qt::Key_V);
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 62, 100)}));
  release(Qt::Key_V);
  release(Qt::Key_V);  // a second release ends nothing
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{noteOn(0, 62, 100), noteOn(0, 62, 0)}));
}

TEST_F(WindowKeys, MidiKeyboardPlaysIntoTheScoreFromItsOwnThreadUntilUnplugged) {
  const std::string keys = "Keys:Keys MIDI 1 24:0";
  midiIn.present = {{keys, "Keys MIDI 1"}};
  ASSERT_TRUE(window->midiInput().choose(keys));
  std::thread([this] {
    midiIn.play({0x90, 60, 90});
    midiIn.play({0x80, 60, 0});
    midiIn.play({0x90, 64, 80});
  }).join();
  ASSERT_TRUE(waitUntil([this] { return pitches().size() == 2; }));
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 64}));
  EXPECT_EQ(midi.messages(),
            (std::vector<uint32_t>{noteOn(0, 60, 90), noteOn(0, 60, 0), noteOn(0, 64, 80)}));

  // Unplugged: within a few seconds the window says so and the choice is none.
  midiIn.present.clear();
  auto* panel = child<QWidget>("NoticePanel");
  ASSERT_TRUE(waitUntil([panel] { return panel->isVisible(); }, 5000));
  EXPECT_TRUE(panel->findChild<QLabel*>()->text().contains(QStringLiteral("Keys MIDI 1")));
  EXPECT_EQ(window->midiInput().chosen(), "");
  EXPECT_EQ(midi.messages().back(), noteOn(0, 64, 0)) << "the held note ends";
}

}  // namespace
}  // namespace kelvara::testing
