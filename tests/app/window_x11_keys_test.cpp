// Keys as an X11 server delivers them: each event carries the key's place
// (its X11 key code) and the meaning the active layout gives it. A session of
// every shortcut and entry key must leave the same score as the same session
// typed through the offscreen platform, which carries meanings only.
#include <QMessageBox>

#include "files/zqf3_file.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

constexpr quint32 kX11Offset = 8;  // X11 key codes are evdev codes + 8

// One key of the session: its place on a US keyboard (evdev), what a US
// layout reads there, and the modifiers held while it is pressed.
struct Stroke {
  quint32 evdev;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

constexpr quint32 kShiftPlace = 42;
constexpr quint32 kCtrlPlace = 29;

const Stroke kSession[] = {
    {5, Qt::Key_4},  // quarter notes
    {46, Qt::Key_C},
    {47, Qt::Key_V},
    {48, Qt::Key_B},
    {10, Qt::Key_9},  // chord input
    {44, Qt::Key_Z},
    {45, Qt::Key_X},
    {kShiftPlace, Qt::Key_Shift},
    {9, Qt::Key_8},
    {57, Qt::Key_Space},
    {44, Qt::Key_Z, Qt::ControlModifier},
    {44, Qt::Key_Z, Qt::ControlModifier},
    {21, Qt::Key_Y, Qt::ControlModifier},
    {44, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
    {105, Qt::Key_Left},
    {105, Qt::Key_Left, Qt::ShiftModifier},
    {105, Qt::Key_Left, Qt::ShiftModifier},
    {46, Qt::Key_C, Qt::ControlModifier},
    {106, Qt::Key_Right},
    {47, Qt::Key_V, Qt::ControlModifier},
    {105, Qt::Key_Left, Qt::ShiftModifier},
    {45, Qt::Key_X, Qt::ControlModifier},
    {111, Qt::Key_Delete},
    {14, Qt::Key_Backspace},
    {50, Qt::Key_M},
    {1, Qt::Key_Escape},
    {103, Qt::Key_Up},
    {49, Qt::Key_N},
    {kShiftPlace, Qt::Key_Shift},
    {44, Qt::Key_Z, Qt::ControlModifier},
    {kShiftPlace, Qt::Key_Shift},  // closes nothing: the redo stays
    {44, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
};

// A layout: what it reads at a place, and where its letter keys are. The JIS
// and US layouts read these places alike; German (ISO) swaps Y and Z.
struct Layout {
  const char* name;
  bool swapsYZ;
};

class WindowX11Keys : public WindowTest, public ::testing::WithParamInterface<Layout> {
 protected:
  // A key event as X11 sends it to the focused control.
  void x11(bool press, quint32 evdev, Qt::Key key, Qt::KeyboardModifiers m) {
    const QString text = key < 0x80 ? QString(QChar(key)).toLower() : QString();
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, m, evdev + kX11Offset, 0, 0,
                    text);
    clock_ += 30;  // ms apart, as a quick typist's keys come
    event.setTimestamp(clock_);
    QWidget* to = QApplication::focusWidget();
    QApplication::sendEvent(to != nullptr ? to : window.get(), &event);
  }
  // The user presses the key the layout marks as the stroke's letter for a
  // shortcut, and the key at the stroke's place to play.
  void strike(const Layout& layout, Stroke k) {
    const bool shortcut = k.modifiers & Qt::ControlModifier;
    if (layout.swapsYZ && (k.key == Qt::Key_Z || k.key == Qt::Key_Y)) {
      if (shortcut) {
        k.evdev = k.key == Qt::Key_Z ? 21 : 44;
      } else {
        k.key = k.evdev == 44 ? Qt::Key_Y : Qt::Key_Z;
      }
    }
    // Modifiers go down first. X11 gives each key the modifiers held before
    // it: a modifier's press does not carry itself, its release does.
    Qt::KeyboardModifiers held;
    if (k.modifiers & Qt::ShiftModifier) {
      x11(true, kShiftPlace, Qt::Key_Shift, held);
      held |= Qt::ShiftModifier;
    }
    if (shortcut) {
      x11(true, kCtrlPlace, Qt::Key_Control, held);
      held |= Qt::ControlModifier;
    }
    x11(true, k.evdev, k.key, held);
    x11(false, k.evdev, k.key, held | (k.key == Qt::Key_Shift ? Qt::ShiftModifier : held));
    if (shortcut) {
      x11(false, kCtrlPlace, Qt::Key_Control, held);
      held &= ~Qt::ControlModifier;
    }
    if (k.modifiers & Qt::ShiftModifier) x11(false, kShiftPlace, Qt::Key_Shift, held);
    settleRelease();
  }
  ulong clock_ = 1000;
  std::vector<uint8_t> snapshot() {
    s().PartSelected.fill(1);
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(encodeZqf3(s(), 0, -1, "snapshot", bytes).ok());
    return bytes;
  }
};

TEST_P(WindowX11Keys, EveryShortcutAndEntryKeyWorksAsOffscreen) {
  for (const Stroke& k : kSession) {
    QTest::keyClick(window->windowHandle(), k.key, k.modifiers);
    settleRelease();
  }
  const std::vector<uint8_t> offscreen = snapshot();
  const std::vector<int32_t> offscreenPitches = pitches();
  ASSERT_GE(offscreenPitches.size(), 4u) << "the session enters notes";

  ASSERT_NO_FATAL_FAILURE(open());
  for (const Stroke& k : kSession) strike(GetParam(), k);
  EXPECT_EQ(pitches(), offscreenPitches);
  EXPECT_EQ(snapshot(), offscreen);

  // Ctrl+S overwrites the score's file after the question.
  s().FileName = settingsPath() + ".zqf3";
  s().markChanged();
  QTimer::singleShot(0, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      box->button(QMessageBox::Yes)->click();
    }
  });
  strike(GetParam(), {31, Qt::Key_S, Qt::ControlModifier});
  EXPECT_FALSE(s().Modified);
  EXPECT_TRUE(std::filesystem::exists(s().FileName));
}

INSTANTIATE_TEST_SUITE_P(Layouts, WindowX11Keys,
                         ::testing::Values(Layout{"JisOrUs", false}, Layout{"German", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvara::testing
