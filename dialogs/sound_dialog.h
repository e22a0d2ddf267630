#pragma once

#include <QDialog>
#include <array>

#include "score/editor_state.h"
#include "score/user_questions.h"
#include "sound/midi_output.h"
#include "sound/sound_settings.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace kelvara {

// The sound dialog "MIDI音源": the output device, and per part the voice,
// the volume and the stereo position.
class TForm2 : public QDialog {
  Q_OBJECT

 public:
  // Problems with the typed volumes go to `questions` when given, else to a
  // message box.
  explicit TForm2(MidiOutput& midi, QWidget* parent = nullptr, UserQuestions* questions = nullptr);

  // Fills the device list with the output's device names, device n at
  // position n.
  void FormCreate();

  // Sets every control from the values, and takes them back.
  void load(const SoundSettings& settings);
  SoundSettings settings() const;

  // The controls of a part's row; the percussion part has no voice list.
  QComboBox* voiceList(int part) const;
  QLineEdit* volumeBox(int part) const;
  QSlider* panBar(int part) const;

  QComboBox* ComboBox1 = nullptr;  // the devices
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 public slots:
  // OK: only when every volume box holds a volume; otherwise the dialog stays
  // open on the first faulty box and says what is wrong with it.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildRows();

  MidiOutput& midi_;
  UserQuestions* questions_;
  // By part index.
  std::array<QComboBox*, kPartCount> voice_{};   // ComboBox2..ComboBox10, ComboBox11 (part 10)
  std::array<QLineEdit*, kPartCount> volume_{};  // Edit1..Edit9, Edit10 (part 10), Edit11 (part 9)
  std::array<QSlider*, kPartCount> pan_{};       // Haichi1..Haichi9, Haichi10, Haichi11
  // Values the controls cannot show (a program outside 0..127 from a file),
  // kept as they were.
  SoundSettings loaded_;
};

// The "MIDI音源" command: loads the dialog from the state, shows it modally
// and on OK stores the values and reopens the output with the voices of
// channels 0..8 and 10. Anything the output has to tell afterwards (a port
// that would not open) is passed on. True when OK was pressed.
bool runSoundDialog(TForm2& dialog, EditorState& s, MidiOutput& midi,
                    UserQuestions* questions = nullptr);
// The same with a dialog made for this one time.
bool runSoundDialog(QWidget* parent, EditorState& s, MidiOutput& midi,
                    UserQuestions* questions = nullptr);

}  // namespace kelvara
