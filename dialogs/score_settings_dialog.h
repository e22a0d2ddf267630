#pragma once

#include <QDialog>

#include "editor/command_dialogs.h"
#include "score/user_questions.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kelvara {

// The score settings dialog "設定": key signature, time signature, tempo and
// the major or minor key layout.
class TForm3 : public QDialog {
  Q_OBJECT

 public:
  // Problems with the typed tempo go to `questions` when given, else to a
  // message box.
  explicit TForm3(QWidget* parent = nullptr, UserQuestions* questions = nullptr);

  // Sets every control from `form`, and reads them back.
  void load(const ScoreSettingsForm& form);
  ScoreSettingsForm values() const;

  QComboBox* ComboBox2 = nullptr;  // key signature
  QComboBox* ComboBox3 = nullptr;  // time signature
  QLineEdit* Edit1 = nullptr;      // tempo
  QRadioButton* MajorButton = nullptr;
  QRadioButton* MinorButton = nullptr;
  QPushButton* Button1 = nullptr;  // OK
  QPushButton* Button2 = nullptr;  // Cancel

 public slots:
  // OK: only with a tempo that can be kept; otherwise the dialog stays open
  // on the tempo box and says what is wrong.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  UserQuestions* questions_;
};

}  // namespace kelvara
