// The "試聴" button of the editor window, end to end: dialog, player window,
// and the editor sounding again afterwards with the parts' voices.
#include "window_fixture.h"

#include <QCheckBox>
#include <QPushButton>
#include <QToolButton>

#include "dialogs/player_window.h"
#include "dialogs/preview_parts_dialog.h"

namespace kelvara::testing {
namespace {

using Window = WindowTest;
using Kind = RecordingMidiOutput::Event::Kind;

TEST_F(Window, PreviewPlaysTheScoreAndHandsTheOutputBack) {
  tap(Qt::Key_C);
  tap(Qt::Key_V);
  s().PartProgram[0] = 40;
  midi.clear();

  bool dialogSeen = false, playerSeen = false, sounded = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<TForm6*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    dialogSeen = true;
    EXPECT_EQ(d->windowTitle(), "試聴－準備");
    d->partBox(5)->setChecked(false);
    QTimer::singleShot(0, [&] {
      TForm4* w = nullptr;
      ASSERT_TRUE(waitUntil([&] {
        w = qobject_cast<TForm4*>(QApplication::activeModalWidget());
        return w != nullptr && w->ready();
      }));
      playerSeen = true;
      QTest::mouseClick(w->PlayButton, Qt::LeftButton);
      sounded = waitUntil([&] { return w->status().positionMicros > 100000; });
      QTest::mouseClick(w->Button1, Qt::LeftButton);
    });
    QTest::mouseClick(d->OkButton, Qt::LeftButton);
  });
  click(child<QWidget>("BitBtn4"));
  ASSERT_TRUE(dialogSeen);
  ASSERT_TRUE(playerSeen);
  EXPECT_TRUE(sounded);
  EXPECT_EQ(s().PartSelected[5], 0);  // kept for the next save or preview
  EXPECT_EQ(s().PartSelected[0], 1);

  // The player played C4 on channel 0 with the part's voice.
  const std::vector<uint32_t> m = midi.messages();
  EXPECT_NE(std::find(m.begin(), m.end(), packShortMessage(0xC0, 40, 0)), m.end());
  EXPECT_NE(std::find(m.begin(), m.end(), noteOn(0, 60, 100)), m.end());
  // Afterwards the editor has the output again with the voices of 0..8, 10.
  const auto& e = midi.events();
  ASSERT_GE(e.size(), 11u);
  EXPECT_EQ(e[e.size() - 11].kind, Kind::Open);
  EXPECT_EQ(e.back().message, packShortMessage(0xCA, 0, 0) | (s().PartProgram[10] << 8));

  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(focused(), edit1());
  midi.clear();
  tap(Qt::Key_B);
  EXPECT_EQ(sounded ? midi.messages().front() : 0u, noteOn(0, 64, 100));
}

}  // namespace
}  // namespace kelvara::testing
