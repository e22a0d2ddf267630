#include "dialogs/length_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kelvara {

void showRefusal(QDialog& dialog, UserQuestions* questions, const FormError& error,
                 QLineEdit* box) {
  if (questions != nullptr) {
    questions->error(error.message);
  } else {
    QMessageBox::critical(&dialog, dialog.windowTitle(), QString::fromStdString(error.message));
  }
  if (box != nullptr) {
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
  }
}

void addOkCancel(QDialog& dialog, QVBoxLayout& layout, QPushButton*& ok, QPushButton*& cancel) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  ok = new QPushButton("OK", &dialog);
  ok->setObjectName("OkButton");
  ok->setDefault(true);
  cancel = new QPushButton("キャンセル", &dialog);
  cancel->setObjectName("CancelButton");
  row->addWidget(ok);
  row->addWidget(cancel);
  layout.addLayout(row);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}

TForm9::TForm9(QWidget* parent, UserQuestions* questions) : QDialog(parent), questions_(questions) {
  setObjectName("Form9");
  setWindowTitle("長さ調整");
  setModal(true);
  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);

  auto* amountRow = new QHBoxLayout;
  amountRow->addWidget(new QLabel("全音符の", this));
  Edit1 = new QLineEdit("1/16", this);
  Edit1->setObjectName("Edit1");
  Edit1->setMaxLength(16);
  Edit1->setFixedWidth(70);
  amountRow->addWidget(Edit1);
  amountRow->addWidget(new QLabel("分だけ", this));
  top->addLayout(amountRow);

  auto* group = new QGroupBox(this);
  group->setObjectName("RadioGroup1");
  auto* choices = new QHBoxLayout(group);
  Longer = new QRadioButton("長く", group);
  Shorter = new QRadioButton("短く", group);
  Longer->setChecked(true);
  choices->addWidget(Longer);
  choices->addWidget(Shorter);
  top->addWidget(group);

  addOkCancel(*this, *top, OkButton, CancelButton);
}

void TForm9::load(const LengthForm& form) {
  Edit1->setText(QString::fromStdString(form.amount));
  (form.shorter ? Shorter : Longer)->setChecked(true);
}

LengthForm TForm9::form() const {
  return {Edit1->text().toStdString(), Shorter->isChecked()};
}

void TForm9::accept() {
  if (check_) {
    if (const auto error = check_(form())) {
      showRefusal(*this, questions_, *error, Edit1);
      return;
    }
  }
  QDialog::accept();
}

}  // namespace kelvara
