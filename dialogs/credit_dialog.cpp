#include "dialogs/credit_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "dialogs/centre.h"

namespace kelvara {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
  setObjectName("Form5");
  setWindowTitle("Credit");
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);  // fixed border

  auto* name = new QLabel("Kelvara", this);
  name->setObjectName("NameLabel");
  QFont serif("Serif");
  serif.setStyleHint(QFont::Serif);
  serif.setPointSize(28);
  serif.setBold(true);
  name->setFont(serif);
  name->setAlignment(Qt::AlignCenter);
  top->addWidget(name);
  auto* produced = new QLabel("Produced 2009.10.04 ", this);
  produced->setObjectName("ProducedLabel");
  produced->setAlignment(Qt::AlignCenter);
  top->addWidget(produced);
  auto* version = new QLabel("ver. 1.2", this);
  version->setObjectName("VersionLabel");
  version->setAlignment(Qt::AlignCenter);
  top->addWidget(version);

  Picture = new QLabel(this);
  Picture->setObjectName("Picture");
  Picture->setAlignment(Qt::AlignCenter);
  top->addWidget(Picture);

  auto* group = new QGroupBox("補助設定", this);
  group->setObjectName("GroupBox1");
  auto* boxes = new QVBoxLayout(group);
  CheckBox1 = new QCheckBox("カーソルを点滅させる", group);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox2 = new QCheckBox("↑↓キー入力時に動作", group);
  CheckBox2->setObjectName("CheckBox2");
  CheckBox1->setChecked(true);
  CheckBox2->setChecked(true);
  boxes->addWidget(CheckBox1);
  boxes->addWidget(CheckBox2);
  top->addWidget(group);

  for (QCheckBox* box : {CheckBox1, CheckBox2}) {
    connect(box, &QCheckBox::toggled, this, [this] {
      if (onChange_) onChange_(values());
    });
  }
}

void TForm5::setPicture(const QImage& picture) {
  Picture->setPixmap(QPixmap::fromImage(picture));
}

void TForm5::load(const AuxiliaryOptions& options) {
  const QSignalBlocker block1(CheckBox1);
  const QSignalBlocker block2(CheckBox2);
  CheckBox1->setChecked(options.blinkCursor);
  CheckBox2->setChecked(options.upDownAction);
}

AuxiliaryOptions TForm5::values() const {
  return {CheckBox1->isChecked(), CheckBox2->isChecked()};
}

void TForm5::setOnChange(std::function<void(const AuxiliaryOptions&)> onChange) {
  onChange_ = std::move(onChange);
}

void TForm5::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOverWindow(*this);
}

}  // namespace kelvara
