#include "dialogs/preview_parts_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/ok_cancel.h"
#include "dialogs/part_boxes.h"

namespace kelvara {

namespace {

constexpr char kCaption[] = "試聴－準備";

QLineEdit* barBox(QWidget* parent, const char* name) {
  auto* box = new QLineEdit("1", parent);
  box->setObjectName(name);
  box->setFixedWidth(box->fontMetrics().horizontalAdvance("000000") + 12);
  box->setAlignment(Qt::AlignRight);
  return box;
}

}  // namespace

TForm6::TForm6(QWidget* parent, UserQuestions* questions) : QDialog(parent), questions_(questions) {
  setObjectName("Form6");
  setWindowTitle(kCaption);
  setModal(true);
  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);

  auto* partsGroup = new QGroupBox(" 試聴するパートをチェック ", this);
  parts_ = addPartBoxes(partsGroup);
  top->addWidget(partsGroup);

  auto* rangeGroup = new QGroupBox(" 試聴範囲 ", this);
  auto* range = new QVBoxLayout(rangeGroup);
  RadioButton1 = new QRadioButton("すべて", rangeGroup);
  RadioButton1->setObjectName("RadioButton1");
  RadioButton2 = new QRadioButton("一部", rangeGroup);
  RadioButton2->setObjectName("RadioButton2");
  range->addWidget(RadioButton1);
  auto* row = new QHBoxLayout;
  row->addWidget(RadioButton2);
  Edit12 = barBox(rangeGroup, "Edit12");
  Edit13 = barBox(rangeGroup, "Edit13");
  row->addWidget(Edit12);
  row->addWidget(new QLabel("小節目から", rangeGroup));
  row->addWidget(Edit13);
  row->addWidget(new QLabel("小節目まで", rangeGroup));
  row->addStretch(1);
  range->addLayout(row);
  top->addWidget(rangeGroup);
  // Toggled, not clicked: the arrow keys move the choice too.
  connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
    if (on) RadioButton1Click();
  });
  connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
    if (on) RadioButton2Click();
  });
  RadioButton1->setChecked(true);
  RadioButton1Click();

  const OkCancelButtons okCancel = addOkCancelRow(this, top);
  OkButton = okCancel.ok;
  CancelButton = okCancel.cancel;
}

void TForm6::load(const PerPart<uint8_t>& selected) {
  setPartBoxes(parts_, selected);
}

PerPart<uint8_t> TForm6::selectedParts() const {
  return tickedParts(parts_);
}

QCheckBox* TForm6::partBox(int part) const {
  return parts_.at(static_cast<size_t>(part));
}

void TForm6::setBoxesEnabled(bool enabled) {
  for (QLineEdit* box : {Edit12, Edit13}) {
    box->setEnabled(enabled);
    QPalette p = box->palette();
    const QColor colour = enabled ? QColor(Qt::white) : palette().color(QPalette::Button);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      p.setColor(group, QPalette::Base, colour);
    }
    box->setPalette(p);
  }
}

void TForm6::RadioButton1Click() {
  setBoxesEnabled(false);
}

void TForm6::RadioButton2Click() {
  setBoxesEnabled(true);
}

void TForm6::accept() {
  const PreviewRangeCheck check = checkPreviewRange(
      RadioButton1->isChecked(), Edit12->text().toStdString(), Edit13->text().toStdString());
  if (!check.ok()) {
    if (questions_ != nullptr) {
      questions_->error(check.error);
    } else {
      QMessageBox::warning(this, kCaption, QString::fromStdString(check.error));
    }
    QLineEdit* box = check.badBox == 1 ? Edit12 : Edit13;
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    return;
  }
  range_ = check.range;
  QDialog::accept();
}

}  // namespace kelvara
