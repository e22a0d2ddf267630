#include "dialogs/tail_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/length_dialog.h"
#include "score/modifiers.h"

namespace kelvara {

namespace {

QLineEdit* numberBox(QWidget* parent, const char* name, const char* text) {
  auto* box = new QLineEdit(text, parent);
  box->setObjectName(name);
  box->setMaxLength(16);
  box->setFixedWidth(60);
  return box;
}

// "全音符の" [box] "分だけ後から．．．"
QHBoxLayout* delayRow(QWidget* parent, QLineEdit* box) {
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel("全音符の", parent));
  row->addWidget(box);
  row->addWidget(new QLabel("分だけ後から．．．", parent));
  row->addStretch(1);
  return row;
}

// A titled group holding one box and an optional unit after it.
QGroupBox* boxGroup(QWidget* parent, const char* title, QLineEdit* box, const char* unit) {
  auto* group = new QGroupBox(title, parent);
  auto* row = new QHBoxLayout(group);
  box->setParent(group);
  row->addWidget(box);
  if (unit != nullptr) row->addWidget(new QLabel(unit, group));
  return group;
}

}  // namespace

TForm11::TForm11(QWidget* parent, UserQuestions* questions)
    : QDialog(parent), questions_(questions) {
  setObjectName("Form11");
  setWindowTitle("余韻調整");
  setModal(true);
  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);

  Constant = new QRadioButton("一定", this);
  Constant->setObjectName("Constant");
  top->addWidget(Constant);

  shift = new QRadioButton("シフト", this);
  shift->setObjectName("shift");
  top->addWidget(shift);
  shiftControls_ = new QWidget(this);
  auto* shiftLayout = new QVBoxLayout(shiftControls_);
  shiftLayout->setContentsMargins(24, 0, 0, 0);
  Edit1 = numberBox(shiftControls_, "Edit1", "1/16");
  shiftLayout->addLayout(delayRow(shiftControls_, Edit1));
  auto* shiftRow = new QHBoxLayout;
  Edit5 = numberBox(shiftControls_, "Edit5", "0");
  shiftRow->addWidget(boxGroup(shiftControls_, "シフト量", Edit5, "音"));
  auto* direction = new QGroupBox(shiftControls_);
  direction->setObjectName("RadioGroup2");
  auto* directionRow = new QHBoxLayout(direction);
  Raise = new QRadioButton("上げる", direction);
  Lower = new QRadioButton("下げる", direction);
  Raise->setChecked(true);
  directionRow->addWidget(Raise);
  directionRow->addWidget(Lower);
  shiftRow->addWidget(direction);
  shiftLayout->addLayout(shiftRow);
  top->addWidget(shiftControls_);

  vibe = new QRadioButton("振動", this);
  vibe->setObjectName("vibe");
  top->addWidget(vibe);
  vibratoControls_ = new QWidget(this);
  auto* vibeLayout = new QVBoxLayout(vibratoControls_);
  vibeLayout->setContentsMargins(24, 0, 0, 0);
  Edit2 = numberBox(vibratoControls_, "Edit2", "1/16");
  vibeLayout->addLayout(delayRow(vibratoControls_, Edit2));
  auto* vibeRow = new QHBoxLayout;
  Edit4 = numberBox(vibratoControls_, "Edit4", "0");
  Edit3 = numberBox(vibratoControls_, "Edit3", "0");
  vibeRow->addWidget(boxGroup(vibratoControls_, "振幅", Edit4, "音"));
  vibeRow->addWidget(boxGroup(vibratoControls_, " 周期 ", Edit3, nullptr));
  vibeLayout->addLayout(vibeRow);
  top->addWidget(vibratoControls_);

  auto* notes = new QGridLayout;
  notes->addWidget(new QLabel("※シフト量、振幅は 6音まで", this), 0, 0);
  notes->addWidget(new QLabel("（全音は １、半音は 0.5）", this), 1, 0);
  notes->addWidget(new QLabel("※周期は 4で 16分音符分", this), 0, 1);
  notes->addWidget(new QLabel("2で 32分音符分", this), 1, 1, Qt::AlignRight);
  notes->addWidget(new QLabel("8で 8分音符分", this), 2, 1, Qt::AlignRight);
  top->addLayout(notes);

  addOkCancel(*this, *top, OkButton, CancelButton);

  connect(Constant, &QRadioButton::clicked, this, &TForm11::ConstantClick);
  connect(shift, &QRadioButton::clicked, this, &TForm11::shiftClick);
  connect(vibe, &QRadioButton::clicked, this, &TForm11::vibeClick);
  Constant->setChecked(true);
  enableFor(TailKind::Constant);
}

void TForm11::enableFor(TailKind kind) {
  const TailControls enabled = tailControlsFor(kind);
  shiftControls_->setEnabled(enabled.shift);
  vibratoControls_->setEnabled(enabled.vibrato);
}

void TForm11::ConstantClick() {
  enableFor(TailKind::Constant);
}

void TForm11::shiftClick() {
  enableFor(TailKind::Shift);
}

void TForm11::vibeClick() {
  enableFor(TailKind::Vibrato);
}

void TForm11::load(const TailForm& form) {
  QRadioButton* kind = form.kind == TailKind::Shift     ? shift
                       : form.kind == TailKind::Vibrato ? vibe
                                                        : Constant;
  kind->setChecked(true);
  enableFor(form.kind);
  Edit1->setText(QString::fromStdString(form.shiftDelay));
  Edit5->setText(QString::fromStdString(form.shiftAmount));
  (form.lower ? Lower : Raise)->setChecked(true);
  Edit2->setText(QString::fromStdString(form.vibratoDelay));
  Edit4->setText(QString::fromStdString(form.vibratoAmount));
  Edit3->setText(QString::fromStdString(form.vibratoPeriod));
}

TailForm TForm11::form() const {
  TailForm f;
  f.kind = shift->isChecked()  ? TailKind::Shift
           : vibe->isChecked() ? TailKind::Vibrato
                               : TailKind::Constant;
  f.shiftDelay = Edit1->text().toStdString();
  f.shiftAmount = Edit5->text().toStdString();
  f.lower = Lower->isChecked();
  f.vibratoDelay = Edit2->text().toStdString();
  f.vibratoAmount = Edit4->text().toStdString();
  f.vibratoPeriod = Edit3->text().toStdString();
  return f;
}

QLineEdit* TForm11::box(FormBox which) const {
  switch (which) {
    case FormBox::ShiftDelay:
      return Edit1;
    case FormBox::ShiftAmount:
      return Edit5;
    case FormBox::VibratoDelay:
      return Edit2;
    case FormBox::VibratoAmount:
      return Edit4;
    case FormBox::VibratoPeriod:
      return Edit3;
    default:
      return nullptr;
  }
}

void TForm11::accept() {
  if (check_) {
    if (const auto error = check_(form())) {
      showRefusal(*this, questions_, *error, box(error->box));
      return;
    }
  }
  QDialog::accept();
}

}  // namespace kelvara
