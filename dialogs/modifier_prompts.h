#pragma once

#include <QWidget>

#include "dialogs/length_dialog.h"
#include "dialogs/tail_dialog.h"
#include "dialogs/velocity_dialog.h"
#include "score/modifier_dialogs.h"
#include "score/user_questions.h"

namespace kelvara {

// The modifier dialogs TForm9, TForm10 and TForm11, made once and reused:
// each is shown modally, preset with the form it is given.
class ModifierPrompts : public ModifierDialogs {
 public:
  explicit ModifierPrompts(QWidget* parent, UserQuestions* questions = nullptr);

  bool askLength(LengthForm& form, const FormCheck<LengthForm>& check) override;
  bool askVelocity(VelocityForm& form, const FormCheck<VelocityForm>& check) override;
  bool askTail(TailForm& form, const FormCheck<TailForm>& check) override;

  TForm9& form9() { return *form9_; }
  TForm10& form10() { return *form10_; }
  TForm11& form11() { return *form11_; }

 private:
  // Owned by the parent widget.
  TForm9* form9_;
  TForm10* form10_;
  TForm11* form11_;
};

}  // namespace kelvara
