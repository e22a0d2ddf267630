#pragma once

#include <QDialog>

#include "score/modifier_dialogs.h"
#include "score/user_questions.h"

class QLineEdit;
class QPushButton;

namespace kelvara {

// The velocity dialog "強弱調整": the velocity of the first selected record
// "→" that of the last; the records between get values by their start time.
class TForm10 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm10(QWidget* parent = nullptr, UserQuestions* questions = nullptr);

  void load(const VelocityForm& form);
  VelocityForm form() const;
  void setCheck(FormCheck<VelocityForm> check) { check_ = std::move(check); }

  QLineEdit* Edit1 = nullptr;  // from
  QLineEdit* Edit2 = nullptr;  // to
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 public slots:
  // OK: only with values the check takes; otherwise the dialog stays open on
  // the box at fault.
  void accept() override;

 private:
  UserQuestions* questions_;
  FormCheck<VelocityForm> check_;
};

}  // namespace kelvara
