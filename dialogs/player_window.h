#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "sound/midi_output.h"
#include "sound/midi_player.h"

class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

namespace kelvara {

// The player window "試聴": plays the preview file on the MIDI output with
// play, pause, stop, step and back (step and back move by a bar), and shows
// the bar and time reached and the totals. The output must be closed when
// the window opens; the window opens the device itself, and closes it again,
// with nothing left sounding, when it closes by any way.
class TForm4 : public QDialog {
  Q_OBJECT

 public:
  // `firstBar`: the score's number of the file's first bar. `clock`: the
  // player's clock, the machine's when not given.
  TForm4(MidiOutput& midi, int device, std::string file, int32_t firstBar,
         QWidget* parent = nullptr, PlayerClock* clock = nullptr);
  ~TForm4() override;

  // Opens the file and the device the first time the window becomes active;
  // later activations change nothing (playback goes on).
  void FormActivate();
  // "Cancel": stops playing, lets the device go and closes the window.
  void Button1Click();

  // What the player is doing; Stopped at 0 before the file is open.
  PlayerStatus status() const;
  // The file is open and its player made.
  bool ready() const { return player_ != nullptr; }

  QToolButton* PlayButton = nullptr;
  QToolButton* PauseButton = nullptr;
  QToolButton* StopButton = nullptr;
  QToolButton* StepButton = nullptr;
  QToolButton* BackButton = nullptr;
  QPushButton* Button1 = nullptr;  // "Cancel"
  QLabel* BarLabel = nullptr;      // bar reached / last bar
  QLabel* TimeLabel = nullptr;     // time reached / total
  QLabel* MessageLabel = nullptr;  // what went wrong, or that there is nothing to hear

 public slots:
  // Escape and the window manager's close also end playing first.
  void reject() override;

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void closePlayer();
  void refresh();
  void showMessage(const std::string& text);

  MidiOutput& midi_;
  int device_;
  std::string file_;
  int32_t firstBar_;
  std::unique_ptr<SteadyPlayerClock> ownClock_;
  PlayerClock* clock_;
  std::unique_ptr<MidiPlayer> player_;
  bool activated_ = false;
  bool deviceOpen_ = false;
  QTimer* refreshTimer_ = nullptr;
};

}  // namespace kelvara
