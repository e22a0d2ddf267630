// The "出力" button end to end: both dialogs driven through their controls,
// the picture name chosen by the test.
#include <QCheckBox>
#include <QImage>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>

#include "app/output_commands.h"
#include "dialogs/output_layout_dialog.h"
#include "dialogs/output_parts_dialog.h"
#include "print/page_grid.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

namespace fs = std::filesystem;

class OutputCommand : public WindowTest, public OutputDialogs {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    folder = fs::temp_directory_path() / ("kelvara-output-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    output().setDialogs(*this);
  }
  // The picture name is the test's; no printer is ever chosen.
  std::optional<ChosenPicture> choosePicture() override {
    ++pictureQuestions;
    if (chosenName.empty()) return std::nullopt;
    return ChosenPicture{(folder / chosenName).string(), true};
  }
  bool choosePrinter(QPrinter&) override { return false; }
  void TearDown() override { fs::remove_all(folder); }

  OutputCommands& output() { return window->output(); }

  // Types `bars` bars of quarter notes into the work part.
  void typeBars(int bars) {
    click(child<QAbstractButton>("SpeedButton5"));
    for (int k = 0; k < 4 * bars; ++k) {
      tap(Qt::Key_C);
      tap(Qt::Key_Shift);
    }
  }

  // Clicks "出力"; the first dialog gets `onForm13`, the second `onForm12`,
  // each once it is up.
  void runOutput(const std::function<void(TForm13&)>& onForm13,
                 const std::function<void(TForm12&)>& onForm12) {
    QTimer::singleShot(0, [&] {
      ASSERT_TRUE(waitUntil([&] { return output().form13().isVisible(); }));
      QTimer::singleShot(0, [&] {
        if (!waitUntil([&] { return output().form12().isVisible(); }, 1000)) return;
        onForm12(output().form12());
      });
      onForm13(output().form13());
    });
    click(child<QAbstractButton>("BitBtn12"));
  }

  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder;
  std::string chosenName = "song";
  int pictureQuestions = 0;
};

TEST_F(OutputCommand, PicturesOfTheChosenBarsAndTheEditorAsBefore) {
  typeBars(6);
  const QImage view = window->editor().renderer().picture().image().copy();
  const TOnpu* cursor = s().CurNode[0];
  const int32_t bar = s().BarNo[0];
  runOutput(
      [](TForm13& form) {
        form.CheckBox[0]->setChecked(true);
        form.RadioButton2->setChecked(true);
        form.Edit1->setText("2");
        form.Edit2->setText("5");
        QTest::mouseClick(form.OkButton, Qt::LeftButton);
      },
      [](TForm12& form) {
        form.Edit1->setText("2");
        form.Edit2->setText("1");
        QTest::mouseClick(form.Button3, Qt::LeftButton);
      });
  EXPECT_EQ(files(), (std::vector<std::string>{"song01_01.jpg", "song01_02.jpg"}));
  EXPECT_EQ(s().PrintBarsPerLine, 2);
  EXPECT_EQ(s().PrintLinesPerPage, 1);
  EXPECT_EQ(s().CurNode[0], cursor);
  EXPECT_EQ(s().BarNo[0], bar);
  EXPECT_EQ(s().BarsPerPage, 16);
  EXPECT_EQ(window->editor().renderer().picture().image(), view);
  // The offscreen platform leaves no window active after a dialog, where a
  // window manager hands the keyboard back to the window.
  EXPECT_EQ(window->focusWidget(), edit1());
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  // Notes still go in where they did.
  tap(Qt::Key_V);
  tap(Qt::Key_Shift);
  EXPECT_EQ(pitches().size(), 25u);
}

TEST_F(OutputCommand, RefusedNumbersKeepTheDialogOpenAndCancelWritesNothing) {
  typeBars(1);
  chosenName = "";
  QString refused;
  runOutput(
      [](TForm13& form) {
        form.CheckBox[0]->setChecked(true);
        form.RadioButton1->setChecked(true);
        QTest::mouseClick(form.OkButton, Qt::LeftButton);
      },
      [&](TForm12& form) {
        form.Edit1->setText("0");
        QTimer::singleShot(0, [&] {
          auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
          if (box == nullptr) return;
          refused = box->text();
          box->accept();
        });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        EXPECT_TRUE(form.isVisible());
        QTest::mouseClick(form.CancelButton, Qt::LeftButton);
      });
  EXPECT_TRUE(refused.contains(QStringLiteral("小節数/段")));
  EXPECT_EQ(pictureQuestions, 0);
  EXPECT_TRUE(files().empty());
  EXPECT_EQ(s().PrintBarsPerLine, 3);
}

TEST_F(OutputCommand, AFailedWriteIsReportedOnceAndNamesTheFile) {
  typeBars(2);
  chosenName = "missing-folder/song";
  QStringList shown;
  bool progressUp = false;
  bool onTop = false;
  runOutput(
      [](TForm13& form) {
        form.CheckBox[0]->setChecked(true);
        form.RadioButton1->setChecked(true);
        QTest::mouseClick(form.OkButton, Qt::LeftButton);
      },
      [&](TForm12& form) {
        const std::function<void()> answer = [&] {
          auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
          if (box == nullptr) {
            if (shown.isEmpty()) QTimer::singleShot(10, answer);
            return;
          }
          shown << box->text();
          // Regression: the progress box came up over the message and took
          // its clicks.
          QTest::qWait(700);
          for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<QProgressDialog*>(w) != nullptr && w->isVisible()) progressUp = true;
          }
          onTop = QApplication::activeModalWidget() == box;
          box->accept();
        };
        form.Edit1->setText("1");
        form.Edit2->setText("1");
        QTimer::singleShot(10, answer);
        QTest::mouseClick(form.Button3, Qt::LeftButton);
      });
  ASSERT_EQ(shown.size(), 1);
  EXPECT_FALSE(progressUp);
  EXPECT_TRUE(onTop);
  EXPECT_TRUE(shown[0].contains(QStringLiteral("song01_01.jpg"))) << shown[0].toStdString();
  EXPECT_TRUE(files().empty());
  EXPECT_EQ(s().BarsPerPage, 16);
  EXPECT_EQ(s().WorkPart, 0);
}

}  // namespace
}  // namespace kelvara::testing
