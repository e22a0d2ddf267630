#pragma once

#include <QDialog>

#include "score/modifier_dialogs.h"
#include "score/user_questions.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kelvara {

// The lingering tail dialog "余韻調整": no tail, a pitch shift or a vibrato
// after a delay. Choosing a kind enables its controls only.
class TForm11 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm11(QWidget* parent = nullptr, UserQuestions* questions = nullptr);

  void load(const TailForm& form);
  TailForm form() const;
  void setCheck(FormCheck<TailForm> check) { check_ = std::move(check); }

  QRadioButton* Constant = nullptr;  // "一定"
  QRadioButton* shift = nullptr;     // "シフト"
  QRadioButton* vibe = nullptr;      // "振動"
  QLineEdit* Edit1 = nullptr;        // shift delay
  QLineEdit* Edit5 = nullptr;        // shift amount, tones
  QRadioButton* Raise = nullptr;     // RadioGroup2 item 0 "上げる"
  QRadioButton* Lower = nullptr;     // RadioGroup2 item 1 "下げる"
  QLineEdit* Edit2 = nullptr;        // vibrato delay
  QLineEdit* Edit4 = nullptr;        // amplitude, tones
  QLineEdit* Edit3 = nullptr;        // period
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 public slots:
  void ConstantClick();  // "一定": greys the shift and the vibrato controls
  void shiftClick();     // "シフト": enables the shift controls only
  void vibeClick();      // "振動": enables the vibrato controls only
  // OK: only with values the check takes; otherwise the dialog stays open on
  // the box at fault.
  void accept() override;

 private:
  void enableFor(TailKind kind);
  QLineEdit* box(FormBox which) const;

  QWidget* shiftControls_ = nullptr;
  QWidget* vibratoControls_ = nullptr;
  UserQuestions* questions_;
  FormCheck<TailForm> check_;
};

}  // namespace kelvara
