#pragma once

#include <QDialog>

#include "score/modifier_dialogs.h"
#include "score/user_questions.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace kelvara {

// The length adjustment dialog "長さ調整": a fraction of a whole note by
// which the selected notes sound longer or shorter.
class TForm9 : public QDialog {
  Q_OBJECT

 public:
  // Refusals go to `questions` when given, else to a message box.
  explicit TForm9(QWidget* parent = nullptr, UserQuestions* questions = nullptr);

  void load(const LengthForm& form);
  LengthForm form() const;
  // What OK must pass; an empty check takes every value.
  void setCheck(FormCheck<LengthForm> check) { check_ = std::move(check); }

  QLineEdit* Edit1 = nullptr;
  QRadioButton* Longer = nullptr;   // RadioGroup1 item 0 "長く"
  QRadioButton* Shorter = nullptr;  // RadioGroup1 item 1 "短く"
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 public slots:
  // OK: only with values the check takes; otherwise the dialog stays open on
  // the box at fault and says what is wrong with it.
  void accept() override;

 private:
  UserQuestions* questions_;
  FormCheck<LengthForm> check_;
};

// Shows a refusal of a modifier dialog and puts the focus into its box.
void showRefusal(QDialog& dialog, UserQuestions* questions, const FormError& error, QLineEdit* box);
// Adds a modifier dialog's "OK" (default) and "キャンセル" buttons in a row.
void addOkCancel(QDialog& dialog, QVBoxLayout& layout, QPushButton*& ok, QPushButton*& cancel);

}  // namespace kelvara
