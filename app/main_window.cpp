#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <tuple>

#include <chrono>
#include <cstdio>

#include "app/key_translation.h"
#include "app/keyboard_canvas.h"
#include "app/notice_panel.h"
#include "app/output_commands.h"
#include "app/score_canvas.h"
#include "app/score_commands.h"
#include "app/window_layout.h"
#include "app/window_settings.h"
#include "dialogs/centre.h"
#include "dialogs/credit_dialog.h"
#include "dialogs/modifier_prompts.h"
#include "dialogs/part_caption.h"
#include "dialogs/preview_dialogs.h"
#include "dialogs/sound_dialog.h"
#include "editor/recovery_keeper.h"
#include "editor/recovery_store.h"
#include "input/drum_names.h"
#include "input/key_repeat.h"
#include "render/app_icon.h"

namespace kelvara {

namespace {

constexpr int kTimer1Interval = 200;
constexpr int kTimer2Interval = 500;

// The picture of a length button: the note glyph and the digit of its key,
// in the button's text colour.
QIcon lengthIcon(const QImage& glyph, int digit, const QPalette& palette) {
  const QColor ink = palette.color(QPalette::ButtonText);
  QPixmap pixmap(44, 34);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!glyph.isNull()) {
    // The note head sits at x 30..49, y 64..80 of the glyph; the stem rises above it.
    const QImage note = glyph.copy(22, 0, 36, std::min(glyph.height(), 84));
    QImage masked = note.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < masked.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(masked.scanLine(y));
      for (int x = 0; x < masked.width(); ++x) {
        row[x] = qRgba(ink.red(), ink.green(), ink.blue(), 255 - qGray(row[x]));
      }
    }
    painter.drawImage(QRect(0, 1, 24, 32), masked);
  }
  QFont font = painter.font();
  font.setPointSize(9);
  painter.setFont(font);
  painter.setPen(palette.color(QPalette::PlaceholderText));
  painter.drawText(QRect(28, 18, 16, 16), Qt::AlignCenter, QString::number(digit));
  return QIcon(pixmap);
}

// Ends the note of every piano key held down, as its release would.
void releaseHeldKeys(Editor& editor) {
  for (int i = 0; i < kMappedKeys; ++i) {
    if (editor.state().KeyHeld[i] == 1) editor.input().FormKeyUp(kKeyMap[i].code, {});
  }
}

// Hands one key stroke to the key handler.
void deliverKey(KeyInput& input, const KeyStroke& stroke) {
  if (stroke.press) {
    input.FormKeyDown(stroke.key, stroke.modifiers);
  } else {
    input.FormKeyUp(stroke.key, stroke.modifiers);
  }
}

}  // namespace

TForm1::TForm1(MidiOutput& midi, const Options& options)
    : midi_(midi),
      options_(options),
      editor_(*this, *this, midi_, *this),
      keyRepeat_(std::make_unique<KeyRepeatFilter>()) {
  // On the input's thread a key sounds at once and is queued; the entry is
  // made here, on the UI thread.
  midiQueue_ = std::make_unique<MidiInputQueue>(
      [this] { QMetaObject::invokeMethod(this, &TForm1::drainMidiInput, Qt::QueuedConnection); },
      [this](const ShortMessage& m) { editor_.midiSound().play(m); });
  midiInput_ = std::make_unique<MidiInputChoice>(
      options.midiInput != nullptr ? *options.midiInput : noMidiInput_, *midiQueue_);
  editor_.setMidiInput(midiInput_.get());
  setWindowTitle(QStringLiteral("Kelvara ver 1.1b4"));
  // The controls are laid out for the smallest size; a larger window gives
  // the score view the room.
  setMinimumSize(kSmallestWindowSize);
  resize(kSmallestWindowSize);
  buildControls();
  restoreWindowGeometry();
  output_ = std::make_unique<OutputCommands>(this, editor_, *this);
  connectScoreCommands();
  qApp->installEventFilter(this);
}

TForm1::~TForm1() {
  // Nothing is played in once the window goes.
  midiInput_->close();
  qApp->removeEventFilter(this);
  releaseTimer_->stop();
  timer1_->stop();
  timer2_->stop();
  // The caption goes with the window.
  editor_.state().OnModifiedChange = nullptr;
  editor_.FormDestroy();
}

bool TForm1::FormCreate() {
  editor_.setEarlierSettingsPath(options_.earlierSettingsPath);
  // The score picture notes what it draws from the start, for sharp drawing
  // on screens of more than one device pixel a pixel.
  editor_.renderer().picture().setLog(&viewLog_);
  const std::string error =
      editor_.FormCreate({options_.settingsPath, options_.explicitSettings, options_.glyphFolder});
  if (!error.empty()) {
    QMessageBox::critical(this, QStringLiteral("Kelvara"), QString::fromStdString(error));
    return false;
  }
  created_ = true;
  followWorkPart();
  image1_->setPicture(&editor_.renderer().picture().image());
  image1_->setStaffTile(&editor_.glyphs()[Glyph::StaffTile]);
  image1_->setPictureWidth(editor_.renderer().picture().width());
  if (viewOutlines_.load(editor_.glyphs().folder()).empty()) {
    image1_->setVectors(&viewLog_, &editor_.glyphs(), &viewOutlines_);
  } else {
    // Without the shapes the picture is shown as it is.
    editor_.renderer().picture().setLog(nullptr);
  }
  // The percussion pad lists show the choices read from the settings file.
  for (int i = 0; i < kPadCount; ++i) {
    const QSignalBlocker blocker(padLists_[i]);
    padLists_[i]->setCurrentIndex(editor_.state().PadChoice[i]);
  }
  drawLengthIcons();
  setWindowIcon(appIcon());
  // What the sound output has to tell comes once the window is up, and
  // again when it has finished getting ready.
  QTimer::singleShot(0, this, [this] { showSoundNoticesWhenReady(); });
  timer2_->start();
  image1_->update();
  image2_->update();
  focusNoteEntry();
  startRecovery();
  // A chosen MIDI input that is unplugged is noticed within a few seconds.
  constexpr int kInputCheckMs = 2000;
  auto* inputCheck = new QTimer(this);
  connect(inputCheck, &QTimer::timeout, this, &TForm1::checkMidiInput);
  inputCheck->start(kInputCheckMs);
  return true;
}

void TForm1::drainMidiInput() {
  const std::vector<ShortMessage> played = midiQueue_->take();
  if (!created_ || played.empty()) return;
  // While a dialog or a menu is open the score is not the keyboard's.
  const bool enter =
      QApplication::activeModalWidget() == nullptr && QApplication::activePopupWidget() == nullptr;
  editor_.midiKeys().receive(played, enter);
  followWorkPart();
  if (midiQueue_->takeDropped() > 0) {
    notice_->add(tr("MIDI入力が多すぎたため、一部の音を受け取れませんでした。"));
  }
}

void TForm1::checkMidiInput() {
  if (!created_ || !midiInput_->checkStillPresent()) return;
  resetMidiKeys();
  showMidiInputNotices();
}

void TForm1::resetMidiKeys() {
  editor_.midiSound().reset();
  editor_.midiKeys().reset();
}

void TForm1::followWorkPart() {
  editor_.midiSound().follow(editor_.state().WorkPart, created_ && !blocked_);
}

void TForm1::showMidiInputNotices() {
  notice_->add(QString::fromStdString(midiInput_->takeNotice()));
}

QIcon TForm1::appIcon() const {
  // The theme's icon when installed; else the same drawing made here.
  QIcon drawn;
  for (int size : {16, 32, 48, 64, 128}) {
    drawn.addPixmap(QPixmap::fromImage(drawAppIcon(editor_.glyphs(), size)));
  }
  return QIcon::fromTheme(QString::fromLatin1(kAppId), drawn);
}

void TForm1::drawLengthIcons() {
  for (int i = 1; i <= 7; ++i) {
    speedButtons_[i]->setIcon(
        lengthIcon(editor_.glyphs()[static_cast<Glyph>(static_cast<int>(Glyph::Note64) - i + 1)], i,
                   speedButtons_[i]->palette()));
  }
}

void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange && created_) drawLengthIcons();
}

void TForm1::startRecovery() {
  if (options_.recoveryFolder.empty()) return;
  recoveryStore_ = std::make_unique<RecoveryStore>(options_.recoveryFolder);
  if (const std::string error = recoveryStore_->claim(); !error.empty()) {
    std::fprintf(stderr, "kelvara: no recovery copies: %s\n", error.c_str());
    notice_->add(tr("復元用のコピーを保存できません（%1）。異常終了したときに、保存して"
                    "いない変更は失われます。")
                     .arg(QString::fromStdString(error)));
  }
  recovery_ = std::make_unique<RecoveryKeeper>(editor_.state(), *recoveryStore_);
  // Once the window shows where the window manager put it (so the question
  // stands over it): a copy left by a run that did not end cleanly.
  constexpr int kOfferAfterMs = 300;
  QTimer::singleShot(kOfferAfterMs, this, [this] {
    commands_->offerRecovery(*recoveryStore_);
    focusNoteEntry();
  });
  auto* timer = new QTimer(this);
  constexpr int kRecoveryTickMs = 500;
  timer->start(kRecoveryTickMs);
  connect(timer, &QTimer::timeout, this, [this] {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    recovery_->tick(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    // Said once when crash protection stops, and once when it works again.
    notice_->add(QString::fromStdString(recovery_->takeNotice()));
  });
}

void TForm1::buildControls() {
  // The hidden box that holds the keyboard focus lies behind the tool panel.
  edit1_ = new QLineEdit(this);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  edit1_->setGeometry(400, 10, 20, 20);
  // Letter keys are note keys: an input method must not compose them into text.
  edit1_->setAttribute(Qt::WA_InputMethodEnabled, false);
  buildTopRow();
  buildScoreView();
  buildLowerTabs();
  buildCommandButtons();
  buildEditMenu();
  connectScoreMouse();
  anchorControls();
  notice_ = new NoticePanel(this);

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(kTimer1Interval);
  connect(timer1_, &QTimer::timeout, this, [this] { editor_.input().Timer1Timer(); });
  timer2_ = new QTimer(this);
  timer2_->setObjectName(QStringLiteral("Timer2"));
  timer2_->setInterval(kTimer2Interval);
  connect(timer2_, &QTimer::timeout, this, [this] {
    if (created_) editor_.input().Timer2Timer();
  });
  // A release held back as a possible half of a key repeat goes ahead when
  // no press followed it.
  releaseTimer_ = new QTimer(this);
  releaseTimer_->setSingleShot(true);
  releaseTimer_->setInterval(KeyRepeatFilter::kPairWaitMs);
  connect(releaseTimer_, &QTimer::timeout, this, [this] { deliverHeldRelease(); });
}

void TForm1::deliverHeldRelease() {
  releaseTimer_->stop();
  if (const std::optional<KeyStroke> release = keyRepeat_->flush()) {
    deliverKey(editor_.input(), *release);
  }
}

bool TForm1::keyReleaseHeldBack() const {
  return keyRepeat_->holdingRelease();
}

void TForm1::buildTopRow() {
  auto toggle = [this](int index, const QString& caption, int x, int width) {
    auto* b = new QToolButton(this);
    b->setObjectName(QStringLiteral("SpeedButton%1").arg(index));
    b->setText(caption);
    b->setCheckable(true);
    b->setAutoExclusive(true);
    b->setGeometry(x, 8, width, 30);
    b->setFocusPolicy(Qt::NoFocus);
    speedButtons_[index] = b;
    connect(b, &QToolButton::clicked, this,
            [this, index] { editor_.input().SpeedButtonClick(index); });
    return b;
  };
  // Two exclusive pairs; each pair lives in its own parent frame so that the
  // pairs do not exclude each other.
  auto* inputGroup = new QFrame(this);
  inputGroup->setGeometry(6, 0, 232, 46);
  auto* modeGroup = new QFrame(this);
  modeGroup->setGeometry(244, 0, 140, 46);
  toggle(8, tr("単音入力式(&8)"), 0, 114)->setParent(inputGroup);
  toggle(9, tr("和音入力式(&9)"), 116, 114)->setParent(inputGroup);
  toggle(10, tr("挿入"), 0, 66)->setParent(modeGroup);
  toggle(11, tr("重ね書き"), 68, 70)->setParent(modeGroup);
  speedButtons_[8]->setChecked(true);
  speedButtons_[10]->setChecked(true);

  auto* panel1 = new QFrame(this);
  panel1->setObjectName(QStringLiteral("Panel1"));
  panel1->setFrameShape(QFrame::StyledPanel);
  panel1->setAutoFillBackground(true);
  panel1->setGeometry(390, 2, 381, 42);
  auto* label1 = new QLabel(tr("入力単位"), panel1);
  label1->setObjectName(QStringLiteral("Label1"));
  label1->setGeometry(6, 4, 60, 34);
  for (int i = 1; i <= 7; ++i) {
    auto* b = new QToolButton(panel1);
    b->setObjectName(QStringLiteral("SpeedButton%1").arg(i));
    b->setCheckable(true);
    b->setAutoExclusive(true);
    b->setGeometry(66 + (i - 1) * 44, 3, 42, 36);
    b->setIconSize(QSize(44, 34));
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(QStringLiteral("%1").arg(i));
    speedButtons_[i] = b;
    connect(b, &QToolButton::clicked, this, [this, i] { editor_.input().SpeedButtonClick(i); });
  }
  speedButtons_[4]->setChecked(true);
  edit1_->lower();
}

void TForm1::buildScoreView() {
  scrollBox1_ = new QScrollArea(this);
  scrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
  scrollBox1_->setGeometry(16, 48, 745, 308);
  scrollBox1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  scrollBox1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  scrollBox1_->setFocusPolicy(Qt::NoFocus);
  image1_ = new ScoreCanvas;
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setPictureWidth(742);
  scrollBox1_->setWidget(image1_);
  scrollBox1_->setWidgetResizable(false);

  bitBtn9_ = new QPushButton(QStringLiteral("◀"), this);
  bitBtn9_->setObjectName(QStringLiteral("BitBtn9"));
  bitBtn9_->setGeometry(0, 48, 16, 308);
  bitBtn10_ = new QPushButton(QStringLiteral("▶"), this);
  bitBtn10_->setObjectName(QStringLiteral("BitBtn10"));
  bitBtn10_->setGeometry(761, 48, 16, 308);
  for (QPushButton* b : {bitBtn9_, bitBtn10_}) {
    b->setEnabled(false);
    b->setFocusPolicy(Qt::NoFocus);
  }
  connect(bitBtn9_, &QPushButton::clicked, this, [this] { editor_.renderer().BitBtn9Click(); });
  connect(bitBtn10_, &QPushButton::clicked, this, [this] { editor_.renderer().BitBtn10Click(); });
}

void TForm1::buildLowerTabs() {
  pageControl1_ = new QTabWidget(this);
  pageControl1_->setObjectName(QStringLiteral("PageControl1"));
  pageControl1_->setGeometry(4, 360, 622, 198);
  pageControl1_->setFocusPolicy(Qt::NoFocus);

  auto* keyboardPage = new QWidget;
  image2_ = new KeyboardCanvas(editor_.keyboard(), keyboardPage);
  image2_->setObjectName(QStringLiteral("Image2"));
  image2_->setGeometry(4, 2, KeyboardPicture::kWidth, KeyboardPicture::kHeight);
  shape1_ = new QFrame(keyboardPage);
  shape1_->setObjectName(QStringLiteral("Shape1"));
  shape1_->setStyleSheet(QStringLiteral("background-color: #008080;"));
  shape1_->setGeometry(4 + 159, 148, 40, 4);
  label2_ = new QLabel(keyboardPage);
  label2_->setObjectName(QStringLiteral("Label2"));
  label2_->setGeometry(4, 152, KeyboardPicture::kWidth, 16);
  pageControl1_->addTab(keyboardPage, tr("仮想キーボード"));

  auto* padPage = new QWidget;
  auto* note = new QLabel(tr("※これらの音色はパーカッションパート入力時に使用できます。"), padPage);
  note->setGeometry(8, 2, 600, 18);
  for (int i = 0; i < kPadCount; ++i) {
    const int column = i / 4;
    const int row = i % 4;
    auto* list = new QComboBox(padPage);
    list->setObjectName(QStringLiteral("ComboBox%1").arg(i + 2));
    list->setGeometry(8 + column * 204, 24 + row * 36, 146, 26);
    list->setFocusPolicy(Qt::NoFocus);
    for (const char* name : kDrumNames) list->addItem(QString::fromLatin1(name));
    padLists_[i] = list;
    connect(list, &QComboBox::currentIndexChanged, this, [this, i](int index) {
      editor_.state().PadChoice[i] = index;
      focusNoteEntry();
    });
    auto* button = new QPushButton(tr("入力"), padPage);
    button->setObjectName(QStringLiteral("Button%1").arg(i + 1));
    button->setGeometry(158 + column * 204, 24 + row * 36, 44, 26);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this,
            [this, i] { editor_.input().percussionButtonClick(i); });
  }
  pageControl1_->addTab(padPage, tr("パーカッション"));
  connect(pageControl1_, &QTabWidget::currentChanged, this, [this] { focusNoteEntry(); });
}

QPushButton* TForm1::commandButton(const QString& caption, int x, int y, void (TForm1::*slot)()) {
  auto* b = new QPushButton(caption, this);
  b->setGeometry(x, y, 70, 26);
  b->setFocusPolicy(Qt::NoFocus);
  connect(b, &QPushButton::clicked, this, slot);
  return b;
}

void TForm1::buildCommandButtons() {
  auto* groupBox1 = new QGroupBox(tr(" 作業パート "), this);
  groupBox1->setObjectName(QStringLiteral("GroupBox1"));
  groupBox1->setGeometry(630, 362, 143, 50);
  comboBox1_ = new QComboBox(groupBox1);
  comboBox1_->setObjectName(QStringLiteral("ComboBox1"));
  comboBox1_->setGeometry(8, 20, 127, 24);
  comboBox1_->setFocusPolicy(Qt::NoFocus);
  for (int item = 0; item < kPartCount; ++item) {
    comboBox1_->addItem(partCaption(partForListItem(item)));
  }
  connect(comboBox1_, &QComboBox::currentIndexChanged, this, &TForm1::ComboBox1Change);

  constexpr int left = 630;
  constexpr int right = 703;
  commandButton(tr("保存"), left, 418, &TForm1::notYetAvailable)
      ->setObjectName(QStringLiteral("BitBtn5"));
  commandButton(tr("読込"), right, 418, &TForm1::notYetAvailable)
      ->setObjectName(QStringLiteral("BitBtn7"));
  bitBtn11_ = commandButton(tr("上書"), left, 446, &TForm1::notYetAvailable);
  bitBtn11_->setObjectName(QStringLiteral("BitBtn11"));
  bitBtn11_->setEnabled(false);
  commandButton(tr("新規"), right, 446, &TForm1::notYetAvailable)
      ->setObjectName(QStringLiteral("BitBtn8"));
  commandButton(tr("設定"), left, 474, &TForm1::notYetAvailable)
      ->setObjectName(QStringLiteral("BitBtn3"));
  commandButton(tr("試聴"), right, 474, &TForm1::BitBtn4Click)
      ->setObjectName(QStringLiteral("BitBtn4"));
  commandButton(tr("MIDI音源"), left, 502, &TForm1::BitBtn2Click)
      ->setObjectName(QStringLiteral("BitBtn2"));
  commandButton(tr("出力"), right, 502, &TForm1::BitBtn12Click)
      ->setObjectName(QStringLiteral("BitBtn12"));
  auto* credit = commandButton(tr("Credit＆補助設定 "), left, 530, &TForm1::notYetAvailable);
  credit->setObjectName(QStringLiteral("BitBtn6"));
  credit->setGeometry(left, 530, 100, 26);
  auto* quit = commandButton(tr("終了"), 733, 530, &TForm1::BitBtn1Click);
  quit->setObjectName(QStringLiteral("BitBtn1"));
  quit->setGeometry(733, 530, 40, 26);
}

void TForm1::buildEditMenu() {
  modifierPrompts_ = std::make_unique<ModifierPrompts>(this, this);
  EditMenu& menu = editor_.editMenu();
  editMenu_ = new QMenu(this);
  editMenu_->setObjectName(QStringLiteral("PopupMenu1"));
  auto item = [this](QMenu* into, const char* name, const QString& caption, auto command) {
    QAction* action = into->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, command);
    return action;
  };
  QAction* cut =
      item(editMenu_, "Cut1", tr("切り取り(&X)  Ctrl + X"), [&menu] { menu.Cut1Click(); });
  QAction* copy =
      item(editMenu_, "Copy1", tr("コピー(&C)    Ctrl + C"), [&menu] { menu.Copy1Click(); });
  QAction* paste =
      item(editMenu_, "Paste1", tr("貼り付け(&V) Ctrl + V"), [&menu] { menu.Paste1Click(); });
  QAction* remove =
      item(editMenu_, "Delete1", tr("削除(&D)      DEL"), [&menu] { menu.Delete1Click(); });
  editMenu_->addSeparator();
  QMenu* renpu = editMenu_->addMenu(tr("連符(&B)"));
  renpu->setObjectName(QStringLiteral("Renpu"));
  item(renpu, "Ren_1", tr("全音符"), [&menu] { menu.Ren_1Click(); });
  item(renpu, "Ren_2", tr("2分音符"), [&menu] { menu.Ren_2Click(); });
  item(renpu, "Ren_4", tr("4分音符"), [&menu] { menu.Ren_4Click(); });
  item(renpu, "Ren_8", tr("8分音符"), [&menu] { menu.Ren_8Click(); });
  item(renpu, "Ren_16", tr("16分音符"), [&menu] { menu.Ren_16Click(); });
  item(renpu, "Ren_re", tr("解除"), [&menu] { menu.Ren_reClick(); });
  QMenu* syusyoku = editMenu_->addMenu(tr("修飾(&N)"));
  syusyoku->setObjectName(QStringLiteral("Syusyoku"));
  ModifierPrompts& prompts = *modifierPrompts_;
  item(syusyoku, "Syu_dl", tr("長さ調整"), [&menu, &prompts] { menu.Syu_dlClick(prompts); });
  item(syusyoku, "Syu_vel", tr("強弱調整"), [&menu, &prompts] { menu.Syu_velClick(prompts); });
  item(syusyoku, "Syu_yo", tr("余韻調整"), [&menu, &prompts] { menu.Syu_yoClick(prompts); });
  editMenu_->addSeparator();
  QAction* undo =
      item(editMenu_, "Undo1", tr("元に戻す(&U)  Ctrl + Z"), [this] { runHistory(false); });
  QAction* redo =
      item(editMenu_, "Redo1", tr("やり直し(&R)  Ctrl + Y"), [this] { runHistory(true); });
  editor_.input().setHistoryKeys([this](bool forward) { runHistory(forward); });
  connect(image1_, &QWidget::customContextMenuRequested, this,
          [this, cut, copy, paste, remove, renpu, syusyoku, undo, redo](const QPoint& at) {
            if (!created_ || editor_.state().Busy) return;
            const EditMenuItems states = editor_.editMenu().itemStates();
            cut->setEnabled(states.cut);
            copy->setEnabled(states.copy);
            paste->setEnabled(states.paste);
            remove->setEnabled(states.remove);
            renpu->setEnabled(states.renpu);
            syusyoku->setEnabled(states.syusyoku);
            undo->setEnabled(editor_.undoCommands().canUndo());
            redo->setEnabled(editor_.undoCommands().canRedo());
            editMenu_->exec(image1_->mapToGlobal(at));
            focusNoteEntry();
          });
}

void TForm1::runHistory(bool redo) {
  if (!created_) return;
  UndoCommands& commands = editor_.undoCommands();
  if (!(redo ? commands.redo() : commands.undo())) return;
  // The step may have been made in another part: the list shows the part
  // now being worked on, without running a part switch of its own.
  const QSignalBlocker quiet(comboBox1_);
  comboBox1_->setCurrentIndex(listItemForPart(editor_.state().WorkPart));
  followWorkPart();
}

void TForm1::connectScoreMouse() {
  auto button = [](Qt::MouseButton b) {
    return b == Qt::LeftButton    ? MouseButton::Left
           : b == Qt::RightButton ? MouseButton::Right
                                  : MouseButton::Middle;
  };
  connect(image1_, &ScoreCanvas::mousePressed, this,
          [this, button](Qt::MouseButton b, Qt::KeyboardModifiers modifiers, int x) {
            if (!created_) return;
            editor_.mouse().Image1MouseDown(button(b), modifiers & Qt::ShiftModifier, x);
            focusNoteEntry();
          });
  connect(image1_, &ScoreCanvas::mouseMoved, this,
          [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x) {
            if (created_) editor_.mouse().Image1MouseMove(x);
          });
  connect(image1_, &ScoreCanvas::mouseReleased, this, [this, button](Qt::MouseButton b, int) {
    if (created_) editor_.mouse().Image1MouseUp(button(b));
  });
}

// --- ScoreView ---

void TForm1::invertLine(const Line& line) {
  image1_->invertLine(line);
}

void TForm1::showScorePicture() {
  image1_->showScorePicture();
  // A page too wide for the memory there is: said once, after the redraw.
  ScorePicture& picture = editor_.renderer().picture();
  if (picture.allocationFailed()) {
    picture.clearAllocationFailure();
    QTimer::singleShot(0, this, [this] {
      QMessageBox::critical(this, QStringLiteral("Kelvara"),
                            tr("メモリが足りないため、このページを描けません。"));
    });
  }
}

int32_t TForm1::scrollX() const {
  return scrollBox1_->horizontalScrollBar()->value();
}

void TForm1::setScrollX(int32_t x) {
  scrollBox1_->horizontalScrollBar()->setValue(x);
}

int32_t TForm1::viewWidth() const {
  return image1_->pictureWidth();
}

void TForm1::setViewWidth(int32_t width) {
  image1_->setPictureWidth(width);
}

int32_t TForm1::viewportWidth() const {
  return scoreViewportSize().width();
}

void TForm1::setPageButtons(bool previousEnabled, bool nextEnabled) {
  bitBtn9_->setEnabled(previousEnabled);
  bitBtn10_->setEnabled(nextEnabled);
}

void TForm1::setOctaveLabel(const std::string& text) {
  label2_->setText(QString::fromStdString(text).replace(
      QStringLiteral("キ－"), tr("キ－", "the octave label: [↓キ－] ← 4 → [↑キ－]")));
}

void TForm1::focusNoteEntry() {
  edit1_->setFocus(Qt::OtherFocusReason);
}

void TForm1::refuse() {
  QApplication::beep();
}

// --- EditorControls ---

bool TForm1::keyboardPageActive() const {
  return pageControl1_->currentIndex() == 0;
}

void TForm1::startTimer1(int intervalMs) {
  timer1_->setInterval(intervalMs);
  timer1_->start();
}

void TForm1::stopTimer1() {
  timer1_->stop();
}

bool TForm1::timer1Running() const {
  return timer1_->isActive();
}

void TForm1::showInputUnit(int button) {
  speedButtons_[button]->setChecked(true);
}

void TForm1::showSingleInput(bool single) {
  speedButtons_[single ? 8 : 9]->setChecked(true);
}

void TForm1::setSingleInputEnabled(bool enabled) {
  speedButtons_[8]->setEnabled(enabled);
}

bool TForm1::singleInputEnabled() const {
  return speedButtons_[8]->isEnabled();
}

void TForm1::showInsertMode(bool insert) {
  speedButtons_[insert ? 10 : 11]->setChecked(true);
}

void TForm1::moveKeyboardBar(int dx) {
  shape1_->move(shape1_->x() + dx, shape1_->y());
}

void TForm1::keyboardPictureChanged() {
  image2_->update();
}

// --- UserQuestions ---

void TForm1::inform(const std::string& text) {
  // What start-up has to tell waits in the window, not in a box on an empty
  // screen.
  if (!created_) {
    notice_->add(QString::fromStdString(text));
    return;
  }
  QMessageBox::information(this, QStringLiteral("Kelvara"), QString::fromStdString(text));
}

void TForm1::error(const std::string& text) {
  if (ending_) {
    std::fprintf(stderr, "kelvara: %s\n", text.c_str());
    return;
  }
  QMessageBox::critical(this, QStringLiteral("Kelvara"), QString::fromStdString(text));
}

bool TForm1::confirm(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::Ok | QMessageBox::Cancel, this);
  return box.exec() == QMessageBox::Ok;
}

bool TForm1::askYesNo(const std::string& text) {
  return QMessageBox::question(this, QStringLiteral("Kelvara"), QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// --- Events ---

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::WindowBlocked || type == QEvent::WindowUnblocked) && watched == this) {
    blocked_ = type == QEvent::WindowBlocked;
    followWorkPart();
    return false;
  }
  if (type == QEvent::WindowDeactivate && watched == this && created_) {
    // The releases of keys held now go to another window or program.
    deliverHeldRelease();
    releaseHeldKeys(editor_);
    return false;
  }
  if (type == QEvent::Show) {
    // Every dialog of the editor opens over it, whatever the window manager
    // would choose (openbox puts them at the screen's edge).
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog != nullptr && dialog->isWindow() && dialog->parentWidget() != nullptr &&
        dialog->parentWidget()->window() == this) {
      centreOverWindow(*dialog);
    }
    return false;
  }
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || !created_) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const int code = virtualKeyOf(*key);
  // The window sees every key first, but only keys meant for it: not those of
  // a dialog or an open drop-down list. A note key let go there still ends
  // the note it started here.
  if (widget->window() != this) {
    if (type == QEvent::KeyRelease && !key->isAutoRepeat()) {
      deliverHeldRelease();
      editor_.input().FormKeyUp(code, {});
    }
    return false;
  }
  Modifiers modifiers;
  modifiers.shift = (key->modifiers() & Qt::ShiftModifier) || code == vk::kShift;
  // X11 reports a modifier key's own press without its modifier.
  modifiers.ctrl = (key->modifiers() & Qt::ControlModifier) || code == vk::kControl;
  modifiers.alt = key->modifiers() & Qt::AltModifier;
  if (code == 0) return true;
  // Ctrl+S is read as the other shortcuts are, by the letter the layout
  // gives the key.
  if (modifiers.ctrl && code == vk::kS) {
    if (type == QEvent::KeyPress && !key->isAutoRepeat()) commands_->saveShortcut();
    return true;
  }
  // A held key repeats its press; only the real release ends the note.
  const KeyStroke stroke{type == QEvent::KeyPress, code, modifiers, false};
  for (const KeyStroke& k : keyRepeat_->take(stroke, key->timestamp(), key->isAutoRepeat())) {
    deliverKey(editor_.input(), k);
  }
  if (keyRepeat_->holdingRelease()) releaseTimer_->start();
  return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (ending_) {
    event->accept();
    return;
  }
  // Unsaved changes are saved or given up first, or the window stays.
  if (created_ && !commands_->mayClose()) {
    event->ignore();
    return;
  }
  if (created_) editor_.FormClose();
  keepWindowGeometry();
  // A clean end: nothing is left to recover.
  if (recovery_) recovery_->finish();
  removePreviewFile();
  event->accept();
}

struct TForm1::AnchoredControl {
  QWidget* control;
  QRect designed;
  Anchor how;
};

void TForm1::anchor(QWidget* control, const Anchor& how) {
  anchored_.push_back({control, control->geometry(), how});
}

void TForm1::anchorControls() {
  anchor(scrollBox1_, kGrows);
  anchor(bitBtn9_, kGrowsDown);
  anchor(bitBtn10_, kRightGrowsDown);
  anchor(pageControl1_, kBottom);
  anchor(findChild<QWidget*>(QStringLiteral("GroupBox1")), kBottomRight);
  for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 11, 12}) {
    anchor(findChild<QWidget*>(QStringLiteral("BitBtn%1").arg(i)), kBottomRight);
  }
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  for (const AnchoredControl& a : anchored_) {
    a.control->setGeometry(anchoredGeometry(a.designed, a.how, size()));
  }
  if (image1_ != nullptr) image1_->fitTo(scoreViewportSize());
  if (notice_ != nullptr) notice_->recentre();
}

QSize TForm1::scoreViewportSize() const {
  // Both scroll bars are always there.
  return scrollBox1_->maximumViewportSize() -
         QSize(scrollBox1_->verticalScrollBar()->sizeHint().width(),
               scrollBox1_->horizontalScrollBar()->sizeHint().height());
}

void TForm1::restoreWindowGeometry() {
  if (options_.settingsPath.empty()) return;
  const WindowSettings kept = readWindowSettings(windowSettingsPath(options_.settingsPath));
  // Kept values the window system cannot use leave the smallest size.
  if (!kept.geometry.isEmpty()) restoreGeometry(kept.geometry);
}

void TForm1::keepWindowGeometry() {
  if (options_.settingsPath.empty()) return;
  WindowSettings settings;
  settings.geometry = saveGeometry();
  if (!writeWindowSettings(windowSettingsPath(options_.settingsPath), settings)) {
    std::fprintf(stderr, "kelvara: the window's size could not be kept\n");
  }
}

void TForm1::endWithoutQuestions() {
  if (ending_) return;
  ending_ = true;
  if (created_) {
    deliverHeldRelease();
    releaseHeldKeys(editor_);
    editor_.FormClose();
  }
  keepWindowGeometry();
  if (recovery_) recovery_->keep();
  removePreviewFile();
  // Every event loop returns, those of open dialogs first; the window and
  // the sound output are taken down as after the quit command.
  QCoreApplication::exit(0);
}

void TForm1::whenOnScreen(std::function<void()> then, int triesLeft) {
  if (triesLeft <= 0 || (windowHandle() != nullptr && windowHandle()->isExposed())) {
    then();
    return;
  }
  constexpr int kPollMs = 20;
  QTimer::singleShot(kPollMs, this, [this, then = std::move(then), triesLeft]() mutable {
    whenOnScreen(std::move(then), triesLeft - 1);
  });
}

void TForm1::removePreviewFile() {
  const PreviewFile file = previewFilePath();
  if (file.error.empty()) std::remove(file.path.c_str());
}

void TForm1::BitBtn1Click() {
  if (confirm(tr("確認").toStdString(), tr("終了します。よろしいですか？").toStdString())) close();
  focusNoteEntry();
}

void TForm1::BitBtn2Click() {
  const EditorState& s = editor_.state();
  const auto voices = std::tuple(s.PartProgram, s.PartVolume, s.PartPan);
  const std::string input = midiInput_->chosen();
  runSoundDialog(this, editor_.state(), midi_, this, midiInput_.get());
  if (midiInput_->chosen() != input) resetMidiKeys();
  // The voices are kept in the whole-score file.
  if (voices != std::tuple(s.PartProgram, s.PartVolume, s.PartPan)) editor_.state().markChanged();
  showSoundNotices();
  focusNoteEntry();
}

void TForm1::BitBtn12Click() {
  output_->BitBtn12Click();
}

void TForm1::BitBtn4Click() {
  runPreviewCommand(this, editor_.state(), midi_, *this, previewFilePath());
  showSoundNotices();
  focusNoteEntry();
}

void TForm1::notYetAvailable() {
  focusNoteEntry();
}

void TForm1::ComboBox1Change(int index) {
  if (!created_ || index < 0) return;
  // The keyboard animation moves the work part's base: it ends before the
  // part changes, never half in one part and half in the other.
  editor_.input().finishAnimation();
  editor_.score().selectWorkPart(index);
  followWorkPart();
}

void TForm1::showSoundNoticesWhenReady() {
  showSoundNotices();
  constexpr int kReadyPollMs = 50;
  if (midi_.preparing()) {
    QTimer::singleShot(kReadyPollMs, this, [this] { showSoundNoticesWhenReady(); });
  }
}

void TForm1::showSoundNotices() {
  // Shown in the window without taking the keys: nothing is asked.
  notice_->add(QString::fromStdString(midi_.takeNotice()));
}

void TForm1::connectScoreCommands() {
  commands_ = new ScoreCommands(*this, editor_, *bitBtn11_);
  const std::pair<const char*, void (ScoreCommands::*)()> buttons[] = {
      {"BitBtn5", &ScoreCommands::BitBtn5Click},   {"BitBtn7", &ScoreCommands::BitBtn7Click},
      {"BitBtn11", &ScoreCommands::BitBtn11Click}, {"BitBtn8", &ScoreCommands::BitBtn8Click},
      {"BitBtn3", &ScoreCommands::BitBtn3Click},   {"BitBtn6", &ScoreCommands::BitBtn6Click}};
  for (const auto& [name, command] : buttons) {
    auto* button = findChild<QPushButton*>(QString::fromLatin1(name));
    disconnect(button, &QPushButton::clicked, this, nullptr);
    connect(button, &QPushButton::clicked, commands_, command);
  }
  // The language chosen in the credit dialog is kept for the next start.
  TForm5& credit = commands_->creditDialog();
  credit.setLanguage(options_.language);
  credit.setOnLanguageChange([this](const QString& language) {
    if (options_.settingsPath.empty()) return;
    WindowSettings settings;
    settings.language = language;
    if (!writeWindowSettings(windowSettingsPath(options_.settingsPath), settings)) {
      error(tr("表示言語を保存できません。").toStdString());
    }
  });
}

}  // namespace kelvara
