#pragma once

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

namespace kelvara {

// The "OK" (the default button) and "Cancel" buttons of a dialog.
struct OkCancelButtons {
  QPushButton* ok;
  QPushButton* cancel;
};

// Adds the dialog's right-aligned "OK" / "Cancel" row to `layout`, the buttons
// named OkButton and CancelButton and wired to accept and reject.
inline OkCancelButtons addOkCancelRow(QDialog* dialog, QBoxLayout* layout) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  auto* ok = new QPushButton("OK", dialog);
  ok->setObjectName("OkButton");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", dialog);
  cancel->setObjectName("CancelButton");
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return {ok, cancel};
}

}  // namespace kelvara
