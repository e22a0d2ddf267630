// The file and settings commands in the editor window, driven with real
// events through the real dialogs: notes typed, saved, a new score, loaded
// back, and the bytes compared.
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <deque>
#include <fstream>

#include "app/score_commands.h"
#include "dialogs/credit_dialog.h"
#include "dialogs/part_choice_dialog.h"
#include "dialogs/save_parts_dialog.h"
#include "dialogs/score_settings_dialog.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

std::vector<char> bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Works the modal dialogs a command opens, one step per dialog, in order.
// A step runs once its dialog is the active modal widget.
class ModalScript {
 public:
  using Step = std::function<void(QWidget&)>;
  explicit ModalScript(std::initializer_list<Step> steps) : steps_(steps) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    timer_.start(10);
  }
  bool done() const { return steps_.empty(); }

 private:
  void tick() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || steps_.empty()) return;
    if (modal == last_ && modal->isVisible()) return;  // still at work on it
    // Clicks need the dialog laid out and on the screen.
    if (!modal->isVisible() || modal->windowHandle() == nullptr ||
        !modal->windowHandle()->isExposed()) {
      return;
    }
    last_ = modal;
    // The step runs outside this tick, so that a dialog it opens in turn
    // finds the timer free to work on it.
    QTimer::singleShot(0, modal, [step = steps_.front(), modal] { step(*modal); });
    steps_.pop_front();
  }

  std::deque<Step> steps_;
  QPointer<QWidget> last_;
  QTimer timer_;
};

// The dialog as the type the step expects; another one is failed and closed.
template <typename T>
T* expect(QWidget& w) {
  T* t = qobject_cast<T*>(&w);
  if (t == nullptr) {
    ADD_FAILURE() << "expected a " << T::staticMetaObject.className() << ", found "
                  << w.metaObject()->className() << " " << w.windowTitle().toStdString();
    w.close();
  }
  return t;
}

// A check box or radio button takes a click on its mark or its text only.
QPoint onIndicator(const QWidget& box) {
  return {8, box.height() / 2};
}

// Steps.
ModalScript::Step okTForm7() {
  return [](QWidget& w) {
    if (auto* d = expect<TForm7>(w)) QTest::mouseClick(d->OkButton, Qt::LeftButton);
  };
}
// Types the name into the file dialog and presses Return; `filter` is the
// file kind to choose first (empty: as offered).
ModalScript::Step typeFileName(const QString& name, const QString& filter = {}) {
  return [name, filter](QWidget& w) {
    auto* dialog = expect<QFileDialog>(w);
    if (dialog == nullptr) return;
    if (!filter.isEmpty()) dialog->selectNameFilter(filter);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
  };
}
ModalScript::Step answerBox(QMessageBox::StandardButton button, QString* text = nullptr) {
  return [button, text](QWidget& w) {
    auto* box = expect<QMessageBox>(w);
    if (box == nullptr) return;
    if (text != nullptr) *text = box->text();
    QTest::mouseClick(box->button(button), Qt::LeftButton);
  };
}

class ScoreCommandsWindow : public WindowTest {
 protected:
  std::string path(const std::string& name) const {
    return (std::filesystem::path(settingsPath()).parent_path() / name).string();
  }
  // Clicks `button` and works the dialogs it opens with `script`.
  void run(const char* button, std::initializer_list<ModalScript::Step> steps) {
    ModalScript script(steps);
    click(child<QWidget>(button));
    EXPECT_TRUE(waitUntil([&] { return script.done(); }, 3000)) << button << ": dialogs missing";
    EXPECT_TRUE(waitUntil([] { return QApplication::activeModalWidget() == nullptr; }, 3000))
        << button << ": a dialog is still open";
  }
  void typePhrase() {
    for (Qt::Key key : {Qt::Key_C, Qt::Key_V, Qt::Key_B, Qt::Key_N}) tap(key);
    press(Qt::Key_Shift);
    release(Qt::Key_Shift);
  }
  QString caption() {
    window->scoreCommands().refreshCaption();
    return window->windowTitle();
  }
};

TEST_F(ScoreCommandsWindow, TypeSaveNewLoadAndTheSameScoreComesBack) {
  press(Qt::Key_C);
  EXPECT_EQ(window->windowTitle(), "Kelvara ver 1.1b4 *") << "the mark comes with the note";
  release(Qt::Key_C);
  typePhrase();
  QString told;
  run("BitBtn5", {okTForm7(), typeFileName(QString::fromStdString(path("song"))),
                  answerBox(QMessageBox::Ok, &told)});
  EXPECT_EQ(told, "ファイルは song.zqf3 という名で保存されます。");
  const std::vector<char> saved = bytesOf(path("song.zqf3"));
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(caption(), "Kelvara ver 1.1b4 - song.zqf3");
  EXPECT_TRUE(child<QWidget>("BitBtn11")->isEnabled());
  EXPECT_EQ(window->focusWidget(), edit1());

  run("BitBtn8", {answerBox(QMessageBox::Ok, &told)});
  EXPECT_EQ(told, "現在のデータを破棄します");
  EXPECT_TRUE(pitches().empty());
  // The new score is in no file: the caption names none and "上書" is off,
  // at once and without a refresh; undone, both name the file again.
  EXPECT_EQ(window->windowTitle(), "Kelvara ver 1.1b4");
  EXPECT_FALSE(child<QWidget>("BitBtn11")->isEnabled());
  press(Qt::Key_Z, Qt::ControlModifier);
  release(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window->windowTitle(), "Kelvara ver 1.1b4 - song.zqf3 *");
  EXPECT_TRUE(child<QWidget>("BitBtn11")->isEnabled());
  press(Qt::Key_Y, Qt::ControlModifier);
  release(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(window->windowTitle(), "Kelvara ver 1.1b4 *");

  run("BitBtn7",
      {answerBox(QMessageBox::Discard), typeFileName(QString::fromStdString(path("song.zqf3")))});
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 62, 64, 65}));
  EXPECT_EQ(caption(), "Kelvara ver 1.1b4 - song.zqf3");
  EXPECT_EQ(window->focusWidget(), edit1());

  run("BitBtn5", {okTForm7(), typeFileName(QString::fromStdString(path("again.zqf3")))});
  EXPECT_EQ(bytesOf(path("again.zqf3")), saved) << "saved, loaded and saved again alike";

  // The loaded score takes keys as before.
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  tap(Qt::Key_M);
  EXPECT_EQ(pitches(), (std::vector<int32_t>{67, 60, 62, 64, 65}));
}

TEST_F(ScoreCommandsWindow, MidiFilesOpenThroughTheLoadDialogWithANotice) {
  // The editor's own MIDI export comes back as it was typed, with nothing to tell.
  typePhrase();
  run("BitBtn5", {okTForm7(), typeFileName(QString::fromStdString(path("song.mid")),
                                           "midiファイル (*.mid *.smf) (*.mid *.smf)")});
  ASSERT_TRUE(std::filesystem::exists(path("song.mid")));
  run("BitBtn7",
      {answerBox(QMessageBox::Discard), typeFileName(QString::fromStdString(path("song.mid")))});
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 62, 64, 65}));
  EXPECT_EQ(caption(), "Kelvara ver 1.1b4 - song.mid");

  // A file another program wrote: its swing triplets come in, and the notice
  // says what had to be approximated.
  std::filesystem::copy_file(std::filesystem::path(MIDI_CORPUS_DIR) / "format1_960_swing.mid",
                             path("swing.mid"));
  QString told;
  run("BitBtn7",
      {typeFileName(QString::fromStdString(path("swing.mid"))), answerBox(QMessageBox::Ok, &told)});
  EXPECT_TRUE(told.contains("拍子 5/4 は扱えないため 4/4 にしました")) << told.toStdString();
  EXPECT_EQ(pitches().size(), 32u)
      << "8 swing pairs as triplets with a rest, 12 triplet eighths, 8 eighths";
  EXPECT_EQ(s().Tempo, 160);
  EXPECT_EQ(window->focusWidget(), edit1());
}

TEST_F(ScoreCommandsWindow, CtrlSOverwritesTheScoresFileAfterTheQuestion) {
  typePhrase();
  run("BitBtn5", {okTForm7(), typeFileName(QString::fromStdString(path("keys.zqf3")))});
  const std::vector<char> first = bytesOf(path("keys.zqf3"));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  tap(Qt::Key_M);
  midi.clear();
  QString asked;
  ModalScript script{answerBox(QMessageBox::Yes, &asked)};
  press(Qt::Key_S, Qt::ControlModifier);
  release(Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(waitUntil([&] { return script.done(); }));
  EXPECT_EQ(asked, "keys.zqf3 を上書きします。よろしいですね?");
  EXPECT_NE(bytesOf(path("keys.zqf3")), first);
  EXPECT_EQ(caption(), "Kelvara ver 1.1b4 - keys.zqf3");
  EXPECT_TRUE(sounded().empty()) << "Ctrl+S plays no note";
  EXPECT_EQ(pitches().size(), 5u) << "and enters none";
}

TEST_F(ScoreCommandsWindow, ClosingWithUnsavedChangesAsksFirst) {
  tap(Qt::Key_C);
  QString asked;
  {
    ModalScript script{answerBox(QMessageBox::Cancel, &asked)};
    window->close();
    ASSERT_TRUE(script.done());
  }
  EXPECT_EQ(asked, "現在のデータには保存されていない変更があります。保存しますか？");
  EXPECT_TRUE(window->isVisible()) << "Cancel keeps the window";
  EXPECT_FALSE(std::filesystem::exists(settingsPath()));
  {
    ModalScript script{answerBox(QMessageBox::Discard)};
    window->close();
  }
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(std::filesystem::exists(settingsPath())) << "closed as usual";
}

TEST_F(ScoreCommandsWindow, DialogsOpenCentredOverTheWindow) {
  // Regression: they opened where the window manager put them, at the
  // screen's edge, away from a window that is not in the middle.
  window->move(40, 30);
  ASSERT_TRUE(waitUntil([&] { return window->pos() == QPoint(40, 30); }));
  const QPoint middle = window->frameGeometry().center();
  for (const char* button : {"BitBtn5", "BitBtn3", "BitBtn12", "BitBtn1"}) {
    QPoint seen;
    run(button, {[&seen](QWidget& w) {
          seen = w.frameGeometry().center();
          qobject_cast<QDialog*>(&w)->reject();
        }});
    EXPECT_LE((seen - middle).manhattanLength(), 4) << button;
  }
}

TEST_F(ScoreCommandsWindow, ScoreSettingsRefuseABadTempoAndStayOpen) {
  QString error;
  run("BitBtn3", {[&](QWidget& w) {
                    auto* found = expect<TForm3>(w);
                    if (found == nullptr) return;
                    auto& d = *found;
                    EXPECT_EQ(d.windowTitle(), "設定");
                    EXPECT_TRUE(d.MajorButton->isChecked());
                    EXPECT_EQ(d.ComboBox2->currentText(), "C");
                    d.ComboBox3->setCurrentIndex(4);  // 6 / 8
                    QTest::mouseClick(d.MinorButton, Qt::LeftButton, {},
                                      onIndicator(*d.MinorButton));
                    d.Edit1->selectAll();
                    QTest::keyClicks(d.Edit1, "fast");
                    QTest::mouseClick(d.Button1, Qt::LeftButton);
                  },
                  answerBox(QMessageBox::Ok, &error),
                  [&](QWidget& w) {
                    auto* found = expect<TForm3>(w);
                    if (found == nullptr) return;
                    auto& d = *found;
                    EXPECT_TRUE(d.isVisible()) << "still open on the tempo box";
                    EXPECT_EQ(d.Edit1->selectedText(), "fast");
                    EXPECT_EQ(s().TimeNum, 4) << "nothing applied yet";
                    QTest::keyClicks(d.Edit1, "90");
                    QTest::mouseClick(d.Button1, Qt::LeftButton);
                  }});
  EXPECT_EQ(error, "'fast' は整数ではありません");
  EXPECT_EQ(s().TimeNum, 6);
  EXPECT_EQ(s().TimeDen, 8);
  EXPECT_EQ(s().Tempo, 90);
  EXPECT_EQ(s().Major, 0);
  EXPECT_EQ(window->focusWidget(), edit1());
}

TEST_F(ScoreCommandsWindow, CreditBoxesActWhileTheDialogIsOpen) {
  int32_t blinkWhileOpen = -1;
  run("BitBtn6", {[&](QWidget& w) {
        auto* found = expect<TForm5>(w);
        if (found == nullptr) return;
        auto& d = *found;
        EXPECT_EQ(d.windowTitle(), "Credit");
        EXPECT_FALSE(d.Picture->pixmap().isNull()) << "shows its picture";
        QTest::mouseClick(d.CheckBox1, Qt::LeftButton, {}, onIndicator(*d.CheckBox1));
        blinkWhileOpen = s().BlinkCursor;
        d.close();
      }});
  EXPECT_EQ(blinkWhileOpen, 0);
  EXPECT_EQ(s().BlinkCursor, 0);
  EXPECT_EQ(s().UpDownAction, 1);
}

TEST_F(ScoreCommandsWindow, OnePartFileLoadsIntoThePartChosenInTForm8) {
  typePhrase();
  run("BitBtn5",
      {[](QWidget& w) {
         auto* found = expect<TForm7>(w);
         if (found == nullptr) return;
         auto& d = *found;
         d.load({});
         d.partBox(0)->setChecked(true);
         QTest::mouseClick(d.OkButton, Qt::LeftButton);
       },
       typeFileName(QString::fromStdString(path("one.zqf")), "zqファイル (*.zqf) (*.zqf)")});
  ASSERT_FALSE(bytesOf(path("one.zqf")).empty());
  EXPECT_FALSE(child<QWidget>("BitBtn11")->isEnabled());

  QString what;
  run("BitBtn7", {answerBox(QMessageBox::Discard),
                  typeFileName(QString::fromStdString(path("one.zqf"))), [&](QWidget& w) {
                    auto* found = expect<TForm8>(w);
                    if (found == nullptr) return;
                    auto& d = *found;
                    what = d.Label1->text() + d.Label2->text();
                    QTest::keyClick(&d, Qt::Key_Escape);  // cannot be cancelled
                    EXPECT_TRUE(d.isVisible());
                    d.ComboBox1->setCurrentIndex(9);
                    QTest::mouseClick(d.OkButton, Qt::LeftButton);
                  }});
  EXPECT_EQ(what, "Zqファイルは1パートしかありません。どのパートに読み込みますか？");
  EXPECT_EQ(pitches(10), (std::vector<int32_t>{60, 62, 64, 65}));
  EXPECT_EQ(pitches(0), (std::vector<int32_t>{60, 62, 64, 65}));
}

TEST_F(ScoreCommandsWindow, ABadFileIsReportedAndTheScoreStays) {
  typePhrase();
  { std::ofstream(path("junk.zqf3")) << "junk"; }
  QString error;
  run("BitBtn7",
      {answerBox(QMessageBox::Discard), typeFileName(QString::fromStdString(path("junk.zqf3"))),
       answerBox(QMessageBox::Ok, &error)});
  EXPECT_TRUE(error.contains("junk.zqf3")) << error.toStdString();
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 62, 64, 65}));
  EXPECT_EQ(caption(), "Kelvara ver 1.1b4 *");
  EXPECT_TRUE(midi.isOpen());
}

}  // namespace
}  // namespace kelvara::testing
