#include "dialogs/modifier_prompts.h"

namespace kelvara {

namespace {

template <typename Dialog, typename Form>
bool ask(Dialog& dialog, Form& form, const FormCheck<Form>& check) {
  dialog.load(form);
  dialog.setCheck(check);
  const bool ok = dialog.exec() == QDialog::Accepted;
  dialog.setCheck({});
  if (ok) form = dialog.form();
  return ok;
}

}  // namespace

ModifierPrompts::ModifierPrompts(QWidget* parent, UserQuestions* questions)
    : form9_(new TForm9(parent, questions)),
      form10_(new TForm10(parent, questions)),
      form11_(new TForm11(parent, questions)) {}

bool ModifierPrompts::askLength(LengthForm& form, const FormCheck<LengthForm>& check) {
  return ask(*form9_, form, check);
}

bool ModifierPrompts::askVelocity(VelocityForm& form, const FormCheck<VelocityForm>& check) {
  return ask(*form10_, form, check);
}

bool ModifierPrompts::askTail(TailForm& form, const FormCheck<TailForm>& check) {
  return ask(*form11_, form, check);
}

}  // namespace kelvara
