#pragma once

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QString>

#include "score/editor_state.h"

namespace kelvara {

// The check boxes of the eleven parts, by part index.
using PartBoxes = PerPart<QCheckBox*>;

// Fills `group` with the part check boxes of the save, preview and output
// dialogs: CheckBox1 .. CheckBox11 in list order (" 1パート" .. " 9パート",
// "10パート", "パーカッション"), six to a column. `spaced`: the one-digit
// labels keep the leading blank that lines them up with "10パート".
inline PartBoxes addPartBoxes(QGroupBox* group, bool spaced = true) {
  PartBoxes boxes{};
  auto* grid = new QGridLayout(group);
  for (int item = 0; item < kPartCount; ++item) {
    const int part = partForListItem(item);
    QString label = QString::fromStdString(partLabel(part));
    if (!spaced) label = label.trimmed();
    auto* box = new QCheckBox(label, group);
    box->setObjectName(QStringLiteral("CheckBox%1").arg(item + 1));
    grid->addWidget(box, item % 6, item / 6);
    boxes[static_cast<size_t>(part)] = box;
  }
  return boxes;
}

// Ticks the box of every selected part and clears the others.
inline void setPartBoxes(const PartBoxes& boxes, const PerPart<uint8_t>& selected) {
  for (size_t p = 0; p < boxes.size(); ++p) boxes[p]->setChecked(selected[p] != 0);
}

// The parts whose boxes are ticked.
inline PerPart<uint8_t> tickedParts(const PartBoxes& boxes) {
  PerPart<uint8_t> ticked{};
  for (size_t p = 0; p < boxes.size(); ++p) ticked[p] = boxes[p]->isChecked() ? 1 : 0;
  return ticked;
}

}  // namespace kelvara
