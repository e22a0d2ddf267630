#include "dialogs/output_parts_dialog.h"

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
#include "print/page_grid.h"
#include "score/whole_number.h"

namespace kelvara {

namespace {

constexpr char kCaption[] = "出力準備1";

}  // namespace

TForm13::TForm13(QWidget* parent, UserQuestions* questions)
    : QDialog(parent), questions_(questions) {
  setObjectName("Form13");
  setWindowTitle(kCaption);
  setModal(true);

  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);

  auto* partsGroup = new QGroupBox(" 出力するパートをチェック ", this);
  parts_ = addPartBoxes(partsGroup, /*spaced=*/false);
  for (int k = 0; k < kPartCount; ++k) CheckBox[k] = parts_[partForListItem(k)];
  top->addWidget(partsGroup);

  auto* rangeGroup = new QGroupBox(" 出力範囲 ", this);
  auto* range = new QVBoxLayout(rangeGroup);
  RadioButton1 = new QRadioButton("すべて", rangeGroup);
  RadioButton1->setObjectName("RadioButton1");
  RadioButton1->setChecked(true);
  RadioButton2 = new QRadioButton("一部", rangeGroup);
  RadioButton2->setObjectName("RadioButton2");
  range->addWidget(RadioButton1);
  range->addWidget(RadioButton2);
  auto* bars = new QHBoxLayout;
  Edit1 = new QLineEdit("1", rangeGroup);
  Edit1->setObjectName("Edit1");
  Edit2 = new QLineEdit("1", rangeGroup);
  Edit2->setObjectName("Edit2");
  for (QLineEdit* box : {Edit1, Edit2}) {
    box->setMaxLength(9);
    box->setFixedWidth(60);
  }
  bars->addWidget(Edit1);
  bars->addWidget(new QLabel("小節目から", rangeGroup));
  bars->addWidget(Edit2);
  bars->addWidget(new QLabel("小節目まで", rangeGroup));
  range->addLayout(bars);
  top->addWidget(rangeGroup);

  const OkCancelButtons okCancel = addOkCancelRow(this, top);
  OkButton = okCancel.ok;
  CancelButton = okCancel.cancel;
  connect(RadioButton1, &QRadioButton::toggled, this, &TForm13::RadioButtonClick);
  RadioButtonClick();
}

void TForm13::RadioButtonClick() {
  const bool some = RadioButton2->isChecked();
  for (QLineEdit* box : {Edit1, Edit2}) {
    box->setEnabled(some);
    QPalette colours = box->palette();
    colours.setColor(QPalette::Base, some ? QColor(Qt::white) : palette().color(QPalette::Button));
    box->setPalette(colours);
  }
}

QCheckBox* TForm13::partBox(int part) const {
  return parts_.at(static_cast<size_t>(part));
}

PerPart<uint8_t> TForm13::parts() const {
  return tickedParts(parts_);
}

bool TForm13::wholeRange() const {
  return RadioButton1->isChecked();
}

bool TForm13::refuse(QLineEdit* box, const std::string& text) {
  if (questions_ != nullptr) {
    questions_->error(text);
  } else {
    QMessageBox::warning(this, kCaption, QString::fromStdString(text));
  }
  box->setFocus(Qt::OtherFocusReason);
  box->selectAll();
  return false;
}

void TForm13::accept() {
  if (RadioButton2->isChecked()) {
    const std::optional<int32_t> first = parseWholeNumber(Edit1->text().toStdString());
    const std::optional<int32_t> last = parseWholeNumber(Edit2->text().toStdString());
    if (!first || *first < 1) {
      refuse(Edit1, "最初の小節は 1 以上の整数で入力してください。");
      return;
    }
    if (!last || *last < 1) {
      refuse(Edit2, "最後の小節は 1 以上の整数で入力してください。");
      return;
    }
    if (*last < *first) {
      refuse(Edit2, "最後の小節は最初の小節と同じか、それより後にしてください。");
      return;
    }
    firstBar_ = *first;
    lastBar_ = *last;
  }
  QDialog::accept();
}

}  // namespace kelvara
