// The dialogs of the file and settings commands: their controls, and how the
// part check boxes and lists map to parts.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "dialogs/credit_dialog.h"
#include "dialogs/part_choice_dialog.h"
#include "dialogs/save_parts_dialog.h"
#include "dialogs/score_settings_dialog.h"

namespace kelvara {
namespace {

struct Messages : UserQuestions {
  std::vector<std::string> errors;
  void inform(const std::string&) override {}
  void error(const std::string& text) override { errors.push_back(text); }
  bool confirm(const std::string&, const std::string&) override { return true; }
  bool askYesNo(const std::string&) override { return true; }
};

TEST(Form7, BoxesInListOrderMapToTheirParts) {
  TForm7 dialog;
  EXPECT_EQ(dialog.windowTitle(), "保存－準備");
  auto* box10 = dialog.findChild<QCheckBox*>("CheckBox10");
  auto* box11 = dialog.findChild<QCheckBox*>("CheckBox11");
  ASSERT_NE(box10, nullptr);
  ASSERT_NE(box11, nullptr);
  EXPECT_EQ(box10->text(), "10パート");
  EXPECT_EQ(box11->text(), "パーカッション");
  EXPECT_EQ(dialog.findChild<QCheckBox*>("CheckBox1")->text(), " 1パート");

  PerPart<uint8_t> selected{};
  selected[9] = 1;  // the percussion part
  dialog.load(selected);
  EXPECT_TRUE(box11->isChecked());
  EXPECT_FALSE(box10->isChecked());
  box10->setChecked(true);
  selected[10] = 1;
  EXPECT_EQ(dialog.values(), selected);
}

TEST(Form8, OffersTheTenMelodicPartsAndCannotBeCancelled) {
  TForm8 dialog;
  EXPECT_EQ(dialog.windowTitle(), "保存－選択");
  ASSERT_EQ(dialog.ComboBox1->count(), 10);
  EXPECT_EQ(dialog.ComboBox1->itemText(9), "10パート");
  EXPECT_FALSE(dialog.ComboBox1->isEditable());
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  QTimer::singleShot(0, &dialog, [&] {
    dialog.reject();  // Escape and the window system's close end here
    EXPECT_TRUE(dialog.isVisible());
    dialog.ComboBox1->setCurrentIndex(4);
    dialog.OkButton->click();
  });
  EXPECT_EQ(dialog.choose("line one", "line two"), 4);
  EXPECT_EQ(dialog.Label1->text(), "line one");
  EXPECT_EQ(dialog.Label2->text(), "line two");
}

TEST(Form3, ListsAndTheTempoCheck) {
  Messages messages;
  TForm3 dialog(nullptr, &messages);
  EXPECT_EQ(dialog.windowTitle(), "設定");
  ASSERT_EQ(dialog.ComboBox2->count(), 15);
  EXPECT_EQ(dialog.ComboBox2->itemText(0), "C#(#7)");
  EXPECT_EQ(dialog.ComboBox2->itemText(9), "B-(b2)");
  ASSERT_EQ(dialog.ComboBox3->count(), 7);
  EXPECT_EQ(dialog.ComboBox3->itemText(3), "9 / 8");
  EXPECT_EQ(dialog.MajorButton->text(), "長調");
  EXPECT_EQ(dialog.MinorButton->text(), "短調");

  dialog.load({12, -1, "96", false});
  EXPECT_EQ(dialog.ComboBox3->currentIndex(), -1) << "a time the list does not hold";
  EXPECT_TRUE(dialog.MinorButton->isChecked());
  const ScoreSettingsForm back = dialog.values();
  EXPECT_EQ(back.keyIndex, 12);
  EXPECT_EQ(back.tempoText, "96");
  EXPECT_FALSE(back.major);

  QTimer::singleShot(0, &dialog, [&] {
    dialog.Edit1->setText("3");
    dialog.Button1->click();
    EXPECT_TRUE(dialog.isVisible()) << "refused";
    dialog.Edit1->setText("4");
    dialog.Button1->click();
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0], "テンポ 3 は使えません。4 から 65535 までの整数を入れてください。");
}

TEST(Form5, CreditAndTheBoxesReportEveryChange) {
  TForm5 dialog;
  EXPECT_EQ(dialog.windowTitle(), "Credit");
  EXPECT_EQ(dialog.CheckBox1->text(), "カーソルを点滅させる");
  EXPECT_EQ(dialog.CheckBox2->text(), "↑↓キー入力時に動作");
  EXPECT_EQ(dialog.CheckBox3->text(), "標準的な記譜で表示");
  EXPECT_EQ(dialog.CheckBox3->parentWidget(), dialog.CheckBox1->parentWidget());
  std::vector<AuxiliaryOptions> seen;
  dialog.setOnChange([&](const AuxiliaryOptions& o) { seen.push_back(o); });
  dialog.load({false, true, false});
  EXPECT_TRUE(seen.empty()) << "loading is no change";
  dialog.CheckBox2->setChecked(false);
  dialog.CheckBox3->setChecked(true);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], (AuxiliaryOptions{false, false, false}));
  EXPECT_EQ(seen[1], (AuxiliaryOptions{false, false, true}));
}

}  // namespace
}  // namespace kelvara
