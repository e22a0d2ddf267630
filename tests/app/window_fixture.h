#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "score/part_list.h"
#include "sound/fake_midi_input.h"
#include "sound/recording_midi_output.h"

namespace kelvara::testing {

inline uint32_t noteOn(int channel, int key, int velocity) {
  return packShortMessage(0x90u + static_cast<uint32_t>(channel), static_cast<uint32_t>(key),
                          static_cast<uint32_t>(velocity));
}

// A recording output that also has something to tell the user, once.
class TellingMidiOutput : public RecordingMidiOutput {
 public:
  using RecordingMidiOutput::RecordingMidiOutput;
  std::string takeNotice() override { return std::exchange(notice, std::string()); }
  std::string notice;
};

// The editor window as a user meets it: started on a settings file of its
// own, shown and active, with a recorder as its MIDI output. Keys go in
// through the window system's entry, so they reach whichever control holds
// the keyboard focus, as a real key does.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    folder_ = std::filesystem::temp_directory_path() /
              ("kelvara-window-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~WindowTest() override {
    window.reset();
    std::filesystem::remove_all(folder_);
  }

  void SetUp() override { ASSERT_NO_FATAL_FAILURE(open()); }

  // Starts a (new) window on the same settings file.
  void open() {
    window.reset();
    TForm1::Options options;
    options.settingsPath = settingsPath();
    options.glyphFolder = SOURCE_DIR "/onpu";
    options.midiInput = &midiIn;
    window = std::make_unique<TForm1>(midi, options);
    ASSERT_TRUE(window->FormCreate());
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    midi.clear();
  }

  std::string settingsPath() const { return (folder_ / "klv.ini").string(); }

  template <typename T>
  T* child(const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QLineEdit* edit1() { return child<QLineEdit>("Edit1"); }
  QWidget* focused() { return QApplication::focusWidget(); }

  // Keys as the window system delivers them.
  void press(Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyPress(window->windowHandle(), key, m);
  }
  // The window holds a release back for a moment (it may be half of a key
  // repeat); this waits until it has gone to the key handler.
  void release(Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyRelease(window->windowHandle(), key, m);
    settleRelease();
  }
  void settleRelease() {
    ASSERT_TRUE(waitUntil([this] { return !window->keyReleaseHeldBack(); }));
  }
  // A key event at a given time of the window system's clock (ms), as X11
  // delivers a held key's repeats: unmarked release and press pairs.
  void keyAt(bool press, Qt::Key key, ulong time, bool markedRepeat = false) {
    const QString text = QString(QChar(QTest::keyToAscii(key)));
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier, text,
                    markedRepeat);
    event.setTimestamp(time);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
  }
  void tap(Qt::Key key) {
    press(key);
    release(key);
  }
  // A held key repeats as a release and a press, both marked as repeats.
  void repeat(Qt::Key key) {
    const QString text = QString(QChar(QTest::keyToAscii(key)));
    QTest::simulateEvent(window->windowHandle(), false, key, Qt::NoModifier, text, true);
    QTest::simulateEvent(window->windowHandle(), true, key, Qt::NoModifier, text, true);
  }

  void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

  // Shows page `index` of the lower tab control by clicking its tab.
  void showTab(int index) {
    auto* tabs = child<QTabWidget>("PageControl1")->findChild<QTabBar*>();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
  }

  // Opens a drop-down list with the mouse and picks item `item` in it with
  // the Return key (a mouse release right after the opening click is taken
  // as part of that click).
  void choose(QComboBox* list, int item) {
    QTest::mouseClick(list, Qt::LeftButton);
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    view->setCurrentIndex(list->model()->index(item, 0));
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([view] { return !view->isVisible(); }));
  }

  // Waits (running the event loop) until `done` holds; false on time-out.
  static bool waitUntil(const std::function<bool()>& done, int ms = 5000) {
    return QTest::qWaitFor(done, ms);
  }
  // What a message box opened by clicking `trigger` showed; it is answered
  // with `answer`. Any other action runs while the box is up.
  struct BoxSeen {
    bool shown = false;
    QString title, text;
    QMessageBox::StandardButtons buttons;
  };
  BoxSeen clickAndAnswer(QWidget* trigger, QMessageBox::StandardButton answer,
                         const std::function<void(QMessageBox&)>& whileShown = {}) {
    BoxSeen seen;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      seen = {true, box->windowTitle(), box->text(), box->standardButtons()};
      if (whileShown) whileShown(*box);
      if (QAbstractButton* b = box->button(answer)) {
        QTest::mouseClick(b, Qt::LeftButton);
      } else {
        box->reject();
      }
    });
    click(trigger);
    return seen;
  }

  EditorState& s() { return window->editor().state(); }
  // Pitch[0] of every record of the part, in order.
  std::vector<int32_t> pitches(int part = 0) {
    std::vector<int32_t> out;
    for (TOnpu* r = firstRecordOf(s().PartHead[part]); !isEndMarker(*r); r = r->Next) {
      out.push_back(r->Pitch[0]);
    }
    return out;
  }
  // Keys of the note-ons sent, in order (velocity 0 is a note-off).
  std::vector<int> sounded() const {
    std::vector<int> keys;
    for (uint32_t m : midi.messages()) {
      const ShortMessage msg = unpackShortMessage(m);
      if (msg.isNoteOn()) keys.push_back(msg.data1);
    }
    return keys;
  }

  TellingMidiOutput midi{2};
  FakeMidiInput midiIn;  // no ports until a test plugs some in
  std::unique_ptr<TForm1> window;

 private:
  std::filesystem::path folder_;
};

}  // namespace kelvara::testing
