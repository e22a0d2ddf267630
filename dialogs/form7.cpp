#include "dialogs/form7.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/centre.h"
#include "dialogs/ok_cancel.h"

namespace kelvara {

TForm7::TForm7(QWidget* parent) : QDialog(parent) {
  setObjectName("Form7");
  setWindowTitle("保存－準備");
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);  // fixed border
  auto* group = new QGroupBox(" 保存するパートをチェック ", this);
  auto* grid = new QGridLayout(group);
  // In list order: " 1パート" .. " 9パート", "10パート", "パーカッション".
  for (int item = 0; item < kPartCount; ++item) {
    const int part = partForListItem(item);
    auto* box = new QCheckBox(QString::fromStdString(partLabel(part)), group);
    box->setObjectName(QStringLiteral("CheckBox%1").arg(item + 1));
    grid->addWidget(box, item % 6, item / 6);
    boxes_[static_cast<size_t>(part)] = box;
  }
  top->addWidget(group);

  const OkCancelButtons okCancel = addOkCancelRow(this, top);
  OkButton = okCancel.ok;
  CancelButton = okCancel.cancel;
}

void TForm7::load(const PerPart<uint8_t>& selected) {
  for (int p = 0; p < kPartCount; ++p) partBox(p)->setChecked(selected[p] != 0);
}

PerPart<uint8_t> TForm7::values() const {
  PerPart<uint8_t> selected{};
  for (int p = 0; p < kPartCount; ++p) selected[p] = partBox(p)->isChecked() ? 1 : 0;
  return selected;
}

QCheckBox* TForm7::partBox(int part) const {
  return boxes_.at(static_cast<size_t>(part));
}

void TForm7::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOverWindow(*this);
}

}  // namespace kelvara
