#include "dialogs/player_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>

#include "dialogs/centre.h"
#include "sound/midi_song.h"
#include "sound/part_voices.h"

namespace kelvara {

namespace {

constexpr int kRefreshMs = 50;

// m:ss.d
QString clockText(int64_t micros) {
  const int64_t tenths = micros / 100000;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld.%lld", static_cast<long long>(tenths / 600),
                static_cast<long long>(tenths / 10 % 60), static_cast<long long>(tenths % 10));
  return QString::fromLatin1(text);
}

QToolButton* transportButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                             const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setIcon(parent->style()->standardIcon(icon));
  b->setIconSize(QSize(24, 24));
  b->setToolTip(tip);
  b->setAutoRaise(false);
  return b;
}

}  // namespace

TForm4::TForm4(MidiOutput& midi, int device, std::string file, int32_t firstBar, QWidget* parent,
               PlayerClock* clock)
    : QDialog(parent),
      midi_(midi),
      device_(device),
      file_(std::move(file)),
      firstBar_(firstBar < 1 ? 1 : firstBar),
      ownClock_(clock == nullptr ? std::make_unique<SteadyPlayerClock>() : nullptr),
      clock_(clock == nullptr ? ownClock_.get() : clock) {
  setObjectName("Form4");
  setWindowTitle(tr("試聴"));
  setModal(true);
  // A fixed dialog frame with a caption and no title-bar buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);
  auto* transport = new QHBoxLayout;
  PlayButton = transportButton(this, "PlayButton", QStyle::SP_MediaPlay, tr("再生"));
  PauseButton = transportButton(this, "PauseButton", QStyle::SP_MediaPause, tr("一時停止"));
  StopButton = transportButton(this, "StopButton", QStyle::SP_MediaStop, tr("停止"));
  BackButton = transportButton(this, "BackButton", QStyle::SP_MediaSkipBackward, tr("前の小節へ"));
  StepButton = transportButton(this, "StepButton", QStyle::SP_MediaSkipForward, tr("次の小節へ"));
  for (QToolButton* b : {PlayButton, PauseButton, StopButton, BackButton, StepButton}) {
    transport->addWidget(b);
  }
  transport->addSpacing(12);
  Button1 = new QPushButton("Cancel", this);
  Button1->setObjectName("Button1");
  transport->addWidget(Button1);
  top->addLayout(transport);

  auto* where = new QHBoxLayout;
  BarLabel = new QLabel(this);
  BarLabel->setObjectName("BarLabel");
  TimeLabel = new QLabel(this);
  TimeLabel->setObjectName("TimeLabel");
  where->addWidget(BarLabel);
  where->addStretch(1);
  where->addWidget(TimeLabel);
  top->addLayout(where);
  MessageLabel = new QLabel(this);
  MessageLabel->setObjectName("MessageLabel");
  MessageLabel->setWordWrap(true);
  MessageLabel->setMinimumWidth(260);
  MessageLabel->hide();
  top->addWidget(MessageLabel);

  connect(PlayButton, &QToolButton::clicked, this, [this] {
    if (player_) player_->play();
    refresh();
  });
  connect(PauseButton, &QToolButton::clicked, this, [this] {
    if (player_) player_->pause();
    refresh();
  });
  connect(StopButton, &QToolButton::clicked, this, [this] {
    if (player_) player_->stop();
    refresh();
  });
  connect(StepButton, &QToolButton::clicked, this, [this] {
    if (player_) player_->step();
    refresh();
  });
  connect(BackButton, &QToolButton::clicked, this, [this] {
    if (player_) player_->back();
    refresh();
  });
  connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);

  refreshTimer_ = new QTimer(this);
  refreshTimer_->setInterval(kRefreshMs);
  connect(refreshTimer_, &QTimer::timeout, this, &TForm4::refresh);
  refresh();
}

TForm4::~TForm4() {
  closePlayer();
}

void TForm4::FormActivate() {
  if (activated_) return;
  activated_ = true;
  MidiSongResult read = readMidiSongFile(file_);
  if (!read.ok()) {
    showMessage(read.error);
    refresh();
    return;
  }
  if (!read.song.hasNotes)
    showMessage(tr("選んだパートと範囲には音符がありません。").toStdString());
  deviceOpen_ = true;
  midi_.midiOutOpen(usableMidiDevice(midi_, device_));
  const std::string notice = midi_.takeNotice();
  if (!notice.empty()) showMessage(notice);
  player_ = std::make_unique<MidiPlayer>(std::move(read.song), midi_, *clock_);
  refreshTimer_->start();
  refresh();
  PlayButton->setFocus(Qt::OtherFocusReason);
}

void TForm4::Button1Click() {
  reject();
}

void TForm4::reject() {
  closePlayer();
  QDialog::reject();
}

void TForm4::closePlayer() {
  refreshTimer_->stop();
  player_.reset();  // stops with nothing left sounding
  if (deviceOpen_) midi_.midiOutClose();
  deviceOpen_ = false;
}

PlayerStatus TForm4::status() const {
  return player_ ? player_->status() : PlayerStatus{};
}

void TForm4::showMessage(const std::string& text) {
  MessageLabel->setText(QString::fromStdString(text));
  MessageLabel->show();
}

void TForm4::refresh() {
  const PlayerStatus s = status();
  const bool playing = s.state == PlayState::Playing;
  PlayButton->setEnabled(player_ && !playing);
  PauseButton->setEnabled(playing);
  StopButton->setEnabled(player_ && s.state != PlayState::Stopped);
  StepButton->setEnabled(player_ && s.bar + 1 < s.bars);
  BackButton->setEnabled(player_ && (s.positionMicros > 0 || playing));
  BarLabel->setText(tr("小節 %1 / %2").arg(firstBar_ + s.bar).arg(firstBar_ + s.bars - 1));
  TimeLabel->setText(clockText(s.positionMicros) + " / " + clockText(s.lengthMicros));
}

bool TForm4::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(event);
}

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOverWindow(*this);
  // Some window systems never make a dialog active on its own.
  QTimer::singleShot(0, this, &TForm4::FormActivate);
}

}  // namespace kelvara
