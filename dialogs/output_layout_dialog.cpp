#include "dialogs/output_layout_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "print/page_grid.h"
#include "score/whole_number.h"

namespace kelvara {

namespace {
constexpr char kCaption[] = "出力準備2";
}  // namespace

TForm12::TForm12(QWidget* parent, UserQuestions* questions)
    : QDialog(parent), questions_(questions) {
  setObjectName("Form12");
  setWindowTitle(kCaption);
  setModal(true);

  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);
  top->addWidget(new QLabel("パートごとに印刷します", this));

  auto* grid = new QGridLayout;
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  for (QLineEdit* box : {Edit1, Edit2}) {
    box->setMaxLength(9);
    box->setFixedWidth(60);
  }
  grid->addWidget(new QLabel("小節数/段 ：", this), 0, 0);
  grid->addWidget(Edit1, 0, 1);
  grid->addWidget(new QLabel("段数/ページ：", this), 1, 0);
  grid->addWidget(Edit2, 1, 1);
  top->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  Button1 = new QPushButton("印刷", this);
  Button1->setObjectName("Button1");
  Button3 = new QPushButton("画像", this);
  Button3->setObjectName("Button3");
  CancelButton = new QPushButton("キャンセル", this);
  CancelButton->setObjectName("CancelButton");
  for (QPushButton* b : {Button1, Button3, CancelButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  top->addLayout(buttons);

  connect(Button1, &QPushButton::clicked, this, &TForm12::Button1Click);
  connect(Button3, &QPushButton::clicked, this, &TForm12::Button3Click);
  connect(CancelButton, &QPushButton::clicked, this, &TForm12::reject);
  load(barsPerLine_, linesPerPage_);
}

void TForm12::load(int32_t barsPerLine, int32_t linesPerPage) {
  Edit1->setText(QString::number(barsPerLine));
  Edit2->setText(QString::number(linesPerPage));
}

void TForm12::Button1Click() {
  closeWith(1);
}

void TForm12::Button3Click() {
  closeWith(2);
}

void TForm12::closeWith(int kind) {
  const std::optional<int32_t> bars = parseWholeNumber(Edit1->text().toStdString());
  const std::optional<int32_t> lines = parseWholeNumber(Edit2->text().toStdString());
  if (const std::string problem = checkLayoutNumbers(bars, lines); !problem.empty()) {
    if (questions_ != nullptr) {
      questions_->error(problem);
    } else {
      QMessageBox::warning(this, kCaption, QString::fromStdString(problem));
    }
    QLineEdit* box = checkLayoutNumbers(bars, 1).empty() ? Edit2 : Edit1;
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    return;
  }
  barsPerLine_ = *bars;
  linesPerPage_ = *lines;
  OutputKind = kind;
  accept();
}

}  // namespace kelvara
