#include "dialogs/credit_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

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

  auto* group = new QGroupBox(tr("補助設定"), this);
  group->setObjectName("GroupBox1");
  auto* boxes = new QVBoxLayout(group);
  CheckBox1 = new QCheckBox(tr("カーソルを点滅させる"), group);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox2 = new QCheckBox(tr("↑↓キー入力時に動作"), group);
  CheckBox2->setObjectName("CheckBox2");
  CheckBox3 = new QCheckBox(tr("標準的な記譜で表示"), group);
  CheckBox3->setObjectName("CheckBox3");
  CheckBox1->setChecked(true);
  CheckBox2->setChecked(true);
  boxes->addWidget(CheckBox1);
  boxes->addWidget(CheckBox2);
  boxes->addWidget(CheckBox3);
  top->addWidget(group);

  // Each language is named in its own words, so either can be found.
  auto* languages = new QGroupBox(tr("表示言語 (Language)"), this);
  languages->setObjectName("LanguageGroup");
  auto* languageRows = new QVBoxLayout(languages);
  LanguageBox = new QComboBox(languages);
  LanguageBox->setObjectName("LanguageBox");
  LanguageBox->addItem(QStringLiteral("日本語"), QStringLiteral("ja"));
  LanguageBox->addItem(QStringLiteral("English"), QStringLiteral("en"));
  languageRows->addWidget(LanguageBox);
  auto* nextStart = new QLabel(tr("次回の起動から切り替わります。"), languages);
  languageRows->addWidget(nextStart);
  top->addWidget(languages);
  connect(LanguageBox, &QComboBox::currentIndexChanged, this, [this] {
    if (onLanguageChange_) onLanguageChange_(language());
  });

  for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3}) {
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
  const QSignalBlocker block3(CheckBox3);
  CheckBox1->setChecked(options.blinkCursor);
  CheckBox2->setChecked(options.upDownAction);
  CheckBox3->setChecked(options.standardNotation);
}

AuxiliaryOptions TForm5::values() const {
  return {CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox3->isChecked()};
}

void TForm5::setOnChange(std::function<void(const AuxiliaryOptions&)> onChange) {
  onChange_ = std::move(onChange);
}

void TForm5::setLanguage(const QString& language) {
  const QSignalBlocker block(LanguageBox);
  LanguageBox->setCurrentIndex(std::max(0, LanguageBox->findData(language)));
}

QString TForm5::language() const {
  return LanguageBox->currentData().toString();
}

void TForm5::setOnLanguageChange(std::function<void(const QString&)> onChange) {
  onLanguageChange_ = std::move(onChange);
}

void TForm5::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOverWindow(*this);
}

}  // namespace kelvara
