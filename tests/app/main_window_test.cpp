// The editor window's face and life: caption, size, controls and their start
// states, the quit question, closing and the settings file.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <fstream>
#include <sstream>

#include "window_fixture.h"

namespace kelvara::testing {
namespace {

using Window = WindowTest;
using Event = RecordingMidiOutput::Event;

std::vector<std::string> linesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(Window, GrowsFromItsDescribedSizeWithThePanelsAnchoredAndKeepsItsSize) {
  EXPECT_EQ(window->windowTitle(), "Kelvara ver 1.1b4");
  EXPECT_EQ(window->size(), QSize(777, 560));
  EXPECT_EQ(window->minimumSize(), QSize(777, 560)) << "the usual layout is the smallest";
  EXPECT_GT(window->maximumSize().width(), 777);
  struct Place {
    const char* name;
    QRect designed;
    QPoint moves;  // per pixel the window grows: 0 stays, 1 follows
    QPoint grows;
  };
  const Place places[] = {
      {"ScrollBox1", {16, 48, 745, 308}, {0, 0}, {1, 1}},
      {"BitBtn9", {0, 48, 16, 308}, {0, 0}, {0, 1}},
      {"BitBtn10", {761, 48, 16, 308}, {1, 0}, {0, 1}},
      {"PageControl1", {4, 360, 622, 198}, {0, 1}, {0, 0}},
      {"GroupBox1", {630, 362, 143, 50}, {1, 1}, {0, 0}},
      {"BitBtn1", {733, 530, 40, 26}, {1, 1}, {0, 0}},
      {"Panel1", {390, 2, 381, 42}, {0, 0}, {0, 0}},
  };
  auto check = [&](QSize grown) {
    const int dx = grown.width(), dy = grown.height();
    for (const Place& p : places) {
      const QRect expected(p.designed.x() + p.moves.x() * dx, p.designed.y() + p.moves.y() * dy,
                           p.designed.width() + p.grows.x() * dx,
                           p.designed.height() + p.grows.y() * dy);
      EXPECT_EQ(child<QWidget>(p.name)->geometry(), expected) << p.name << " grown by " << dx;
    }
  };
  check({0, 0});
  const int widthBefore = window->viewportWidth();
  window->resize(1500, 900);
  ASSERT_TRUE(waitUntil([this] { return window->size() == QSize(1500, 900); }));
  check({723, 340});
  EXPECT_EQ(window->viewportWidth(), widthBefore + 723) << "more bars across";
  auto* image1 = child<QWidget>("Image1");
  EXPECT_GE(image1->width(), window->viewportWidth());
  EXPECT_GE(image1->height(), 384) << "the whole grand staff and its ledger room";

  window->close();
  ASSERT_NO_FATAL_FAILURE(open());
  EXPECT_EQ(window->size(), QSize(1500, 900)) << "kept beside the settings file";
  EXPECT_EQ(linesOf(settingsPath()).size(), 25u) << "the settings file keeps its form";
}

// A dark desktop theme, put back when the test ends.
struct DarkTheme {
  DarkTheme() {
    QPalette dark;
    const QColor window(0x2b, 0x2b, 0x2b), text(0xee, 0xee, 0xee);
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base,
                                     QPalette::AlternateBase, QPalette::ToolTipBase}) {
      dark.setColor(role, window);
    }
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text,
                                     QPalette::ToolTipText, QPalette::PlaceholderText}) {
      dark.setColor(role, text);
    }
    QApplication::setPalette(dark);
  }
  ~DarkTheme() { QApplication::setPalette(light); }
  QPalette light = QApplication::palette();
};

TEST_F(Window, NoticesAndLengthButtonsReadWellInADarkThemeWhileThePaperStaysWhite) {
  const DarkTheme theme;
  midi.notice = "音声出力装置を開けないため、内蔵シンセサイザーの音は鳴りません。";
  ASSERT_NO_FATAL_FAILURE(open());
  auto* panel = child<QWidget>("NoticePanel");
  ASSERT_TRUE(waitUntil([panel] { return panel->isVisible(); }));
  const QImage shot = window->grab().toImage();
  auto lightnessAt = [&](QPoint at) { return QColor(shot.pixel(at)).lightnessF(); };
  EXPECT_LT(lightnessAt(panel->geometry().topLeft() + QPoint(4, 4)), 0.3) << "notice paper";
  const QLabel* text = panel->findChild<QLabel*>();
  EXPECT_GT(text->palette().color(text->foregroundRole()).lightnessF(), 0.8) << "notice text";
  EXPECT_GT(lightnessAt(child<QWidget>("ScrollBox1")->geometry().topLeft() + QPoint(30, 30)), 0.95)
      << "the score paper";
  // The note on a length button is drawn in the theme's text colour.
  const QImage icon = child<QToolButton>("SpeedButton4")->icon().pixmap(44, 34).toImage();
  int inked = 0;
  for (int y = 0; y < icon.height(); ++y) {
    for (int x = 0; x < 24; ++x) {
      const QColor c = icon.pixelColor(x, y);
      if (c.alpha() > 200) {
        ++inked;
        EXPECT_GT(c.lightnessF(), 0.8) << x << "," << y;
      }
    }
  }
  EXPECT_GT(inked, 20);
}

TEST_F(Window, ShowsEveryControlWithItsCaptionAndStartState) {
  const std::vector<std::pair<const char*, QString>> captions = {
      {"SpeedButton8", "単音入力式(&8)"},
      {"SpeedButton9", "和音入力式(&9)"},
      {"SpeedButton10", "挿入"},
      {"SpeedButton11", "重ね書き"},
      {"BitBtn1", "終了"},
      {"BitBtn2", "MIDI音源"},
      {"BitBtn3", "設定"},
      {"BitBtn4", "試聴"},
      {"BitBtn5", "保存"},
      {"BitBtn6", "Credit＆補助設定 "},
      {"BitBtn7", "読込"},
      {"BitBtn8", "新規"},
      {"BitBtn11", "上書"},
      {"BitBtn12", "出力"},
  };
  for (const auto& [name, caption] : captions) {
    auto* b = child<QAbstractButton>(name);
    if (b != nullptr) {
      EXPECT_EQ(b->text(), caption) << name;
    }
  }
  for (int i = 1; i <= 11; ++i) {
    const QByteArray name = "SpeedButton" + QByteArray::number(i);
    auto* b = child<QToolButton>(name.constData());
    if (b == nullptr) continue;
    EXPECT_EQ(b->isChecked(), i == 4 || i == 8 || i == 10) << name.constData();
    if (i <= 7) {
      EXPECT_FALSE(b->icon().isNull()) << name.constData() << " shows its note";
    }
  }
  EXPECT_EQ(child<QLabel>("Label1")->text(), "入力単位");
  for (const char* disabled : {"BitBtn9", "BitBtn10", "BitBtn11"}) {
    EXPECT_FALSE(child<QWidget>(disabled)->isEnabled()) << disabled;
  }

  EXPECT_EQ(child<QScrollArea>("ScrollBox1")->size(), QSize(745, 308));
  EXPECT_EQ(child<QWidget>("Image1")->size(), QSize(742, 384));
  EXPECT_EQ(child<QWidget>("Image2")->size(), QSize(608, 145));
  const QImage keyboard = child<QWidget>("Image2")->grab().toImage();
  EXPECT_NE(keyboard.pixel(20, 20), keyboard.pixel(174, 130)) << "the keyboard picture shows";
  EXPECT_EQ(child<QLabel>("Label2")->text(),
            "[↓キ－]　←" + QString(25, ' ') + "4" + QString(23, ' ') + "→ [↑キ－]");

  EXPECT_EQ(child<QGroupBox>("GroupBox1")->title(), " 作業パート ");
  auto* parts = child<QComboBox>("ComboBox1");
  QStringList partItems;
  for (int i = 0; i < parts->count(); ++i) partItems << parts->itemText(i);
  EXPECT_EQ(partItems,
            (QStringList{" 1パート", " 2パート", " 3パート", " 4パート", " 5パート", " 6パート",
                         " 7パート", " 8パート", " 9パート", "10パート", "パーカッション"}));
  EXPECT_EQ(parts->currentIndex(), 0);

  auto* tabs = child<QTabWidget>("PageControl1");
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(0), "仮想キーボード");
  EXPECT_EQ(tabs->tabText(1), "パーカッション");
  EXPECT_EQ(tabs->currentIndex(), 0);
  for (int row = 1; row <= 12; ++row) {
    const QByteArray list = "ComboBox" + QByteArray::number(row + 1);
    const QByteArray button = "Button" + QByteArray::number(row);
    auto* drums = child<QComboBox>(list.constData());
    if (drums == nullptr) continue;
    ASSERT_EQ(drums->count(), 47) << list.constData();
    EXPECT_EQ(drums->itemText(0), "35 Acoustic Bass Drum");
    EXPECT_EQ(drums->itemText(44), "79 Open Cuica ");
    EXPECT_EQ(drums->itemText(46), "81 Open Triangle");
    EXPECT_EQ(drums->currentIndex(), row - 1) << "the default choice of row " << row;
    EXPECT_EQ(child<QAbstractButton>(button.constData())->text(), "入力");
  }

  auto* timer1 = child<QTimer>("Timer1");
  auto* timer2 = child<QTimer>("Timer2");
  EXPECT_FALSE(timer1->isActive());
  EXPECT_EQ(timer1->interval(), 200);
  EXPECT_TRUE(timer2->isActive());
  EXPECT_EQ(timer2->interval(), 500);
  EXPECT_EQ(focused(), edit1());
}

TEST_F(Window, QuitAsksAndCancelKeepsEverythingWithTheFocusOnTheEntryBox) {
  tap(Qt::Key_C);
  tap(Qt::Key_V);
  midi.clear();
  const BoxSeen box = clickAndAnswer(child<QWidget>("BitBtn1"), QMessageBox::Cancel);
  ASSERT_TRUE(box.shown);
  EXPECT_EQ(box.title, "確認");
  EXPECT_EQ(box.text, "終了します。よろしいですか？");
  EXPECT_EQ(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);

  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(std::filesystem::exists(settingsPath())) << "nothing written";
  EXPECT_TRUE(midi.events().empty()) << "the output stays open";
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 62}));
  // The offscreen platform leaves no window active after a message box, where
  // a window manager hands the keyboard back to the window.
  EXPECT_EQ(window->focusWidget(), edit1());
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(focused(), edit1());
  tap(Qt::Key_B);
  EXPECT_EQ(pitches(), (std::vector<int32_t>{60, 62, 64})) << "keys still enter notes";
}

TEST_F(Window, QuitWithOkWritesTheSettingsAndShutdownClosesTheOutput) {
  showTab(1);
  choose(child<QComboBox>("ComboBox3"), 5);
  const BoxSeen box = clickAndAnswer(child<QWidget>("BitBtn1"), QMessageBox::Ok);
  ASSERT_TRUE(box.shown);
  EXPECT_FALSE(window->isVisible());

  const std::vector<std::string> lines = linesOf(settingsPath());
  ASSERT_EQ(lines.size(), 25u);
  for (const std::string& line : lines) EXPECT_TRUE(line.ends_with('\r')) << "CR LF lines";
  EXPECT_EQ(lines[14], "5\r") << "pad 2 keeps its choice";

  window.reset();
  ASSERT_FALSE(midi.events().empty());
  EXPECT_EQ(midi.events().back().kind, Event::Kind::Close);
}

TEST_F(Window, TheCloseBoxWritesTheSettingsWhichTheNextStartShows) {
  showTab(1);
  choose(child<QComboBox>("ComboBox13"), 46);
  window->windowHandle()->close();
  EXPECT_FALSE(window->isVisible());
  ASSERT_EQ(linesOf(settingsPath()).size(), 25u);
  EXPECT_EQ(linesOf(settingsPath())[24], "46\r");

  ASSERT_NO_FATAL_FAILURE(open());
  EXPECT_EQ(child<QComboBox>("ComboBox13")->currentText(), "81 Open Triangle");
  EXPECT_EQ(child<QComboBox>("ComboBox2")->currentText(), "35 Acoustic Bass Drum");
}

}  // namespace
}  // namespace kelvara::testing
