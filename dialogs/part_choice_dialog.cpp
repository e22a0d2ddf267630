#include "dialogs/part_choice_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/centre.h"
#include "dialogs/part_caption.h"
#include "score/editor_state.h"

namespace kelvara {

TForm8::TForm8(QWidget* parent) : QDialog(parent) {
  setObjectName("Form8");
  setWindowTitle(tr("保存－選択"));
  setModal(true);
  // A title bar without buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);  // fixed border
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label2 = new QLabel(this);
  Label2->setObjectName("Label2");
  top->addWidget(Label1);
  top->addWidget(Label2);
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  // The list takes no typed text, so there is always a part chosen.
  ComboBox1->setEditable(false);
  for (int item = 0; item < 10; ++item) {
    ComboBox1->addItem(partCaption(partForListItem(item)));
  }
  top->addWidget(ComboBox1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  OkButton = new QPushButton("OK", this);
  OkButton->setObjectName("OkButton");
  OkButton->setDefault(true);
  buttons->addWidget(OkButton);
  buttons->addStretch(1);
  top->addLayout(buttons);
  connect(OkButton, &QPushButton::clicked, this, &TForm8::accept);
}

int TForm8::choose(const QString& line1, const QString& line2) {
  Label1->setText(line1);
  Label2->setText(line2);
  ComboBox1->setCurrentIndex(0);
  exec();
  const int item = ComboBox1->currentIndex();
  return item >= 0 && item < 10 ? item : 0;
}

void TForm8::reject() {}

void TForm8::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOverWindow(*this);
}

}  // namespace kelvara
