#include "dialogs/score_settings_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "dialogs/centre.h"
#include "editor/settings_commands.h"

namespace kelvara {

namespace {
constexpr char kCaption[] = QT_TRANSLATE_NOOP("kelvara::TForm3", "設定");
}  // namespace

TForm3::TForm3(QWidget* parent, UserQuestions* questions) : QDialog(parent), questions_(questions) {
  setObjectName("Form3");
  setWindowTitle(tr(kCaption));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);  // fixed border

  auto* fields = new QFormLayout;
  ComboBox2 = new QComboBox(this);
  ComboBox2->setObjectName("ComboBox2");
  for (const char* item : kKeyListItems) ComboBox2->addItem(QString::fromUtf8(item));
  ComboBox2->setCurrentIndex(7);
  fields->addRow(tr("調号"), ComboBox2);
  ComboBox3 = new QComboBox(this);
  ComboBox3->setObjectName("ComboBox3");
  for (const TimeListItem& item : kTimeListItems) ComboBox3->addItem(QString::fromUtf8(item.text));
  ComboBox3->setCurrentIndex(0);
  fields->addRow(tr("拍子記号"), ComboBox3);
  Edit1 = new QLineEdit("120", this);
  Edit1->setObjectName("Edit1");
  fields->addRow(tr("テンポ"), Edit1);
  top->addLayout(fields);

  auto* radioGroup1 = new QGroupBox(tr("キ－配列"), this);
  radioGroup1->setObjectName("RadioGroup1");
  auto* radios = new QHBoxLayout(radioGroup1);
  MajorButton = new QRadioButton(tr("長調"), radioGroup1);
  MajorButton->setObjectName("MajorButton");
  MinorButton = new QRadioButton(tr("短調"), radioGroup1);
  MinorButton->setObjectName("MinorButton");
  radios->addWidget(MajorButton);
  radios->addWidget(MinorButton);
  MajorButton->setChecked(true);
  top->addWidget(radioGroup1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Button1 = new QPushButton("OK", this);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);
  Button2 = new QPushButton("Cancel", this);
  Button2->setObjectName("Button2");
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  top->addLayout(buttons);
  connect(Button1, &QPushButton::clicked, this, &TForm3::accept);
  connect(Button2, &QPushButton::clicked, this, &TForm3::reject);
}

void TForm3::load(const ScoreSettingsForm& form) {
  ComboBox2->setCurrentIndex(form.keyIndex);
  ComboBox3->setCurrentIndex(form.timeIndex);
  Edit1->setText(QString::fromStdString(form.tempoText));
  (form.major ? MajorButton : MinorButton)->setChecked(true);
}

ScoreSettingsForm TForm3::values() const {
  ScoreSettingsForm form;
  form.keyIndex = ComboBox2->currentIndex();
  form.timeIndex = ComboBox3->currentIndex();
  form.tempoText = Edit1->text().toStdString();
  form.major = MajorButton->isChecked();
  return form;
}

void TForm3::accept() {
  int32_t tempo = 0;
  if (const std::optional<std::string> problem = checkTempoText(values().tempoText, tempo)) {
    if (questions_ != nullptr) {
      questions_->error(*problem);
    } else {
      QMessageBox::warning(this, tr(kCaption), QString::fromStdString(*problem));
    }
    Edit1->setFocus(Qt::OtherFocusReason);
    Edit1->selectAll();
    return;
  }
  QDialog::accept();
}

void TForm3::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOverWindow(*this);
}

}  // namespace kelvara
