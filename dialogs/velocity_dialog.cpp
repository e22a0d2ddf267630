#include "dialogs/velocity_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/length_dialog.h"

namespace kelvara {

TForm10::TForm10(QWidget* parent, UserQuestions* questions)
    : QDialog(parent), questions_(questions) {
  setObjectName("Form10");
  setWindowTitle("強弱調整");
  setModal(true);
  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);

  auto* row = new QHBoxLayout;
  Edit1 = new QLineEdit("0", this);
  Edit1->setObjectName("Edit1");
  Edit2 = new QLineEdit("10", this);
  Edit2->setObjectName("Edit2");
  for (QLineEdit* box : {Edit1, Edit2}) {
    box->setMaxLength(8);
    box->setFixedWidth(60);
  }
  row->addWidget(Edit1);
  row->addWidget(new QLabel("→", this));
  row->addWidget(Edit2);
  top->addLayout(row);

  addOkCancel(*this, *top, OkButton, CancelButton);
}

void TForm10::load(const VelocityForm& form) {
  Edit1->setText(QString::fromStdString(form.from));
  Edit2->setText(QString::fromStdString(form.to));
}

VelocityForm TForm10::form() const {
  return {Edit1->text().toStdString(), Edit2->text().toStdString()};
}

void TForm10::accept() {
  if (check_) {
    if (const auto error = check_(form())) {
      showRefusal(*this, questions_, *error, error->box == FormBox::VelocityTo ? Edit2 : Edit1);
      return;
    }
  }
  QDialog::accept();
}

}  // namespace kelvara
