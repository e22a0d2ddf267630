#include "dialogs/save_parts_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/centre.h"
#include "dialogs/ok_cancel.h"
#include "dialogs/part_boxes.h"

namespace kelvara {

TForm7::TForm7(QWidget* parent) : QDialog(parent) {
  setObjectName("Form7");
  setWindowTitle(tr("保存－準備"));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);  // fixed border
  auto* group = new QGroupBox(tr(" 保存するパートをチェック "), this);
  boxes_ = addPartBoxes(group);
  top->addWidget(group);

  const OkCancelButtons okCancel = addOkCancelRow(this, top);
  OkButton = okCancel.ok;
  CancelButton = okCancel.cancel;
}

void TForm7::load(const PerPart<uint8_t>& selected) {
  setPartBoxes(boxes_, selected);
}

PerPart<uint8_t> TForm7::values() const {
  return tickedParts(boxes_);
}

QCheckBox* TForm7::partBox(int part) const {
  return boxes_.at(static_cast<size_t>(part));
}

void TForm7::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOverWindow(*this);
}

}  // namespace kelvara
