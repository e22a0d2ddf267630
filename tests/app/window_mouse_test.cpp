// The score view's mouse through the editor window: real press, move and
// release events, the edit menu on a right click and a modifier dialog.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "app/score_canvas.h"
#include "dialogs/velocity_dialog.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

class WindowMouse : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    image1 = child<ScoreCanvas>("Image1");
    for (Qt::Key k : {Qt::Key_C, Qt::Key_V, Qt::Key_B, Qt::Key_N, Qt::Key_M}) tap(k);
    press(Qt::Key_Shift, Qt::ShiftModifier);
    release(Qt::Key_Shift);
    ASSERT_EQ(pitches().size(), 5u);
  }
  TOnpu* record(int index) {
    TOnpu* r = firstRecordOf(s().PartHead[0]);
    for (int i = 0; i < index; ++i) r = r->Next;
    return r;
  }
  // The middle of record `index`: every eighth takes one 70-pixel cell.
  QPoint middle(int index) const { return {kMusicLeft + kCellWidth * index + 35, 150}; }

  // Opens the edit menu with a right click; `whileOpen` sees it, then it closes.
  void rightClick(const std::function<void(QMenu&)>& whileOpen) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      seen = true;
      whileOpen(*menu);
      menu->close();
    });
    // Through the window, as the window system delivers it: the window makes
    // the context menu request of the press.
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, {},
                      image1->mapTo(window.get(), middle(1)));
    EXPECT_TRUE(waitUntil([&] { return seen; }, 2000)) << "no edit menu";
  }
  static QAction* action(QMenu& menu, const char* name) {
    return menu.findChild<QAction*>(QString::fromLatin1(name));
  }

  ScoreCanvas* image1 = nullptr;
};

TEST_F(WindowMouse, ClickPutsTheCursorOnTheRecordAndKeysGoOnArriving) {
  QTest::mouseClick(image1, Qt::LeftButton, {}, middle(2));
  EXPECT_EQ(s().CurNode[0], record(2));
  EXPECT_EQ(focused(), edit1());
  tap(Qt::Key_Z);  // entered before the clicked record
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 62, 57, 64, 65, 67}));
}

TEST_F(WindowMouse, DragRightAndLeftSelectAndDeleteTakesTheRange) {
  QTest::mousePress(image1, Qt::LeftButton, {}, middle(1));
  QTest::mouseMove(image1, middle(2));
  QTest::mouseMove(image1, middle(3));
  QTest::mouseRelease(image1, Qt::LeftButton, {}, middle(3));
  ASSERT_EQ(s().SelActive, 1);
  EXPECT_EQ(s().SelAnchorNode, record(1));
  EXPECT_EQ(s().SelEndNode, record(3));
  EXPECT_EQ(s().MouseHeld, 0);

  QTest::mousePress(image1, Qt::LeftButton, {}, middle(4));
  QTest::mouseMove(image1, middle(2));
  QTest::mouseRelease(image1, Qt::LeftButton, {}, middle(2));
  ASSERT_EQ(s().SelActive, 1);
  tap(Qt::Key_Delete);
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 62, 67}));
}

TEST_F(WindowMouse, ShiftClickSelectsFromTheCursor) {
  QTest::mouseClick(image1, Qt::LeftButton, {}, middle(1));
  QTest::mouseClick(image1, Qt::LeftButton, Qt::ShiftModifier, middle(4));
  ASSERT_EQ(s().SelActive, 1);
  press(Qt::Key_X, Qt::ControlModifier);
  release(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 67}));
}

TEST_F(WindowMouse, RightClickMenuOffersWhatTheSelectionAllows) {
  rightClick([](QMenu& menu) {
    EXPECT_FALSE(action(menu, "Cut1")->isEnabled());
    EXPECT_FALSE(action(menu, "Copy1")->isEnabled());
    EXPECT_TRUE(action(menu, "Paste1")->isEnabled());
    EXPECT_FALSE(action(menu, "Delete1")->isEnabled());
    EXPECT_FALSE(menu.findChild<QMenu*>("Renpu")->isEnabled());
    EXPECT_FALSE(menu.findChild<QMenu*>("Syusyoku")->isEnabled());
  });

  QTest::mouseClick(image1, Qt::LeftButton, {}, middle(0));
  QTest::mouseClick(image1, Qt::LeftButton, Qt::ShiftModifier, middle(3));
  QAction* ren4 = nullptr;
  rightClick([&](QMenu& menu) {
    EXPECT_TRUE(action(menu, "Cut1")->isEnabled());
    EXPECT_TRUE(action(menu, "Delete1")->isEnabled());
    EXPECT_TRUE(menu.findChild<QMenu*>("Renpu")->isEnabled());
    EXPECT_TRUE(menu.findChild<QMenu*>("Syusyoku")->isEnabled());
    ren4 = menu.findChild<QMenu*>("Renpu")->findChild<QAction*>("Ren_4");
  });
  ASSERT_NE(ren4, nullptr);
  ren4->trigger();
  EXPECT_EQ(record(0)->RenIndex, 1);
  EXPECT_EQ(record(2)->RenCount, 3);
  EXPECT_EQ(record(2)->RenLength, 16);
  EXPECT_EQ(s().SelActive, 0);
  // The focus goes back to the note-entry box (the window is active again
  // once the menu is gone).
  EXPECT_EQ(window->focusWidget(), edit1());
}

TEST_F(WindowMouse, VelocityDialogRefusesABadValueAndStaysOpen) {
  QTest::mouseClick(image1, Qt::LeftButton, {}, middle(0));
  QTest::mouseClick(image1, Qt::LeftButton, Qt::ShiftModifier, middle(4));
  QAction* vel = nullptr;
  rightClick([&](QMenu& menu) {
    vel = menu.findChild<QMenu*>("Syusyoku")->findChild<QAction*>("Syu_vel");
  });
  ASSERT_NE(vel, nullptr);

  QString refusal;
  bool stayedOpen = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<TForm10*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Edit1->text(), "100");  // preset from the selection
    d->Edit1->setText("40");
    d->Edit2->setText("200");
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box != nullptr) {
        refusal = box->text();
        box->accept();
      }
    });
    QTest::mouseClick(d->OkButton, Qt::LeftButton);
    stayedOpen = d->isVisible();
    EXPECT_EQ(s().SelActive, 1);
    d->Edit2->setText("100");
    QTest::mouseClick(d->OkButton, Qt::LeftButton);
  });
  vel->trigger();
  EXPECT_TRUE(refusal.contains("0〜127")) << refusal.toStdString();
  EXPECT_TRUE(stayedOpen);
  std::vector<int32_t> velocities;
  for (int i = 0; i < 4; ++i) velocities.push_back(record(i)->Velocity);
  EXPECT_EQ(velocities, (std::vector<int32_t>{40, 60, 80, 100}));
  EXPECT_EQ(window->focusWidget(), edit1());
}

}  // namespace
}  // namespace kelvara::testing
