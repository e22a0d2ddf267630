#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "dialogs/output_layout_dialog.h"
#include "dialogs/output_parts_dialog.h"
#include "support/scripted_questions.h"

namespace kelvara {
namespace {

TEST(Form13, CheckBoxesPairWithPartsAsEveryPartList) {
  TForm13 dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("出力準備1"));
  EXPECT_EQ(dialog.CheckBox[9]->text(), QStringLiteral("10パート"));
  EXPECT_EQ(dialog.CheckBox[10]->text(), QStringLiteral("パーカッション"));
  for (QCheckBox* box : dialog.CheckBox) EXPECT_FALSE(box->isChecked());
  dialog.CheckBox[0]->setChecked(true);
  dialog.CheckBox[9]->setChecked(true);   // "10パート": part index 10
  dialog.CheckBox[10]->setChecked(true);  // "パーカッション": part index 9
  PerPart<uint8_t> expected{};
  expected[0] = expected[10] = expected[kPercussionPart] = 1;
  EXPECT_EQ(dialog.parts(), expected);
  EXPECT_EQ(dialog.partBox(kPercussionPart), dialog.CheckBox[10]);
}

TEST(Form13, RangeBoxesFollowTheRadioButtons) {
  TForm13 dialog;
  EXPECT_TRUE(dialog.wholeRange());
  EXPECT_FALSE(dialog.Edit1->isEnabled());
  EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("1"));
  EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("1"));
  dialog.RadioButton2->setChecked(true);
  EXPECT_FALSE(dialog.wholeRange());
  EXPECT_TRUE(dialog.Edit1->isEnabled());
  EXPECT_TRUE(dialog.Edit2->isEnabled());
  EXPECT_EQ(dialog.Edit1->palette().color(QPalette::Base), QColor(Qt::white));
  dialog.RadioButton1->setChecked(true);
  EXPECT_FALSE(dialog.Edit2->isEnabled());
}

TEST(Form13, BarNumbersAreCheckedBeforeTheDialogCloses) {
  testing::ScriptedQuestions questions;
  TForm13 dialog(nullptr, &questions);
  dialog.RadioButton2->setChecked(true);
  const auto tryRange = [&](const char* first, const char* last) {
    dialog.Edit1->setText(QString::fromUtf8(first));
    dialog.Edit2->setText(QString::fromUtf8(last));
    dialog.setResult(QDialog::Rejected);
    dialog.accept();
    return dialog.result() == QDialog::Accepted;
  };
  EXPECT_FALSE(tryRange("abc", "4"));
  EXPECT_FALSE(tryRange("2.5", "4"));
  EXPECT_FALSE(tryRange("0", "4"));
  EXPECT_FALSE(tryRange("3", ""));
  EXPECT_FALSE(tryRange("5", "4"));
  EXPECT_EQ(questions.errors.size(), 5u);
  // Equal first and last bar: that one bar.
  EXPECT_TRUE(tryRange("4", "4"));
  EXPECT_EQ(dialog.firstBar(), 4);
  EXPECT_EQ(dialog.lastBar(), 4);
  EXPECT_TRUE(tryRange(" 5 ", "12"));
  EXPECT_EQ(dialog.firstBar(), 5);
  EXPECT_EQ(dialog.lastBar(), 12);
  // With "すべて" the disabled boxes are not read.
  dialog.RadioButton1->setChecked(true);
  EXPECT_TRUE(tryRange("x", "y"));
  EXPECT_EQ(questions.errors.size(), 5u);
}

TEST(Form12, ButtonsCloseWithTheirKindOnlyForUsableNumbers) {
  testing::ScriptedQuestions questions;
  TForm12 dialog(nullptr, &questions);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("出力準備2"));
  dialog.load(3, 5);
  EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("3"));
  EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("5"));

  const auto press = [&](QPushButton* button, const char* bars, const char* lines) {
    dialog.Edit1->setText(QString::fromUtf8(bars));
    dialog.Edit2->setText(QString::fromUtf8(lines));
    dialog.setResult(QDialog::Rejected);
    dialog.OutputKind = 0;
    QTest::mouseClick(button, Qt::LeftButton);
    return dialog.result() == QDialog::Accepted;
  };
  EXPECT_FALSE(press(dialog.Button3, "0", "5"));
  EXPECT_FALSE(press(dialog.Button3, "3", "-1"));
  EXPECT_FALSE(press(dialog.Button1, "3", "five"));
  EXPECT_FALSE(press(dialog.Button1, "100000", "5"));
  EXPECT_EQ(dialog.OutputKind, 0);
  EXPECT_EQ(questions.errors.size(), 4u);

  EXPECT_TRUE(press(dialog.Button3, "4", "2"));
  EXPECT_EQ(dialog.OutputKind, 2);
  EXPECT_EQ(dialog.barsPerLine(), 4);
  EXPECT_EQ(dialog.linesPerPage(), 2);
  EXPECT_TRUE(press(dialog.Button1, "1", "1"));
  EXPECT_EQ(dialog.OutputKind, 1);

  dialog.setResult(QDialog::Accepted);
  QTest::mouseClick(dialog.CancelButton, Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace kelvara
