// The modifier dialogs on Qt's offscreen platform, driven through their
// controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "dialogs/modifier_prompts.h"
#include "score/modifiers.h"

namespace kelvara::testing {
namespace {

struct RecordedErrors : UserQuestions {
  std::vector<std::string> errors;
  void inform(const std::string&) override {}
  void error(const std::string& text) override { errors.push_back(text); }
  bool confirm(const std::string&, const std::string&) override { return true; }
  bool askYesNo(const std::string&) override { return true; }
};

class ModifierForms : public ::testing::Test {
 protected:
  QWidget parent;
  RecordedErrors questions;
  ModifierPrompts prompts{&parent, &questions};
};

TEST_F(ModifierForms, TailKindsEnableTheirControlsOnly) {
  TForm11& d = prompts.form11();
  TOnpu plain;
  initRecord(plain, 60, 8, 1);
  d.load(tailFormFor(plain));
  d.show();
  EXPECT_TRUE(d.Constant->isChecked());
  EXPECT_FALSE(d.Edit1->isEnabled());
  EXPECT_FALSE(d.Edit3->isEnabled());
  d.shift->click();
  EXPECT_TRUE(d.Edit1->isEnabled());
  EXPECT_TRUE(d.Edit5->isEnabled());
  EXPECT_TRUE(d.Lower->isEnabled());
  EXPECT_FALSE(d.Edit2->isEnabled());
  EXPECT_FALSE(d.Edit4->isEnabled());
  d.vibe->click();
  EXPECT_FALSE(d.Edit5->isEnabled());
  EXPECT_TRUE(d.Edit2->isEnabled());
  EXPECT_TRUE(d.Edit4->isEnabled());
  EXPECT_TRUE(d.Edit3->isEnabled());
  d.Constant->click();
  EXPECT_FALSE(d.Edit2->isEnabled());
  d.hide();
}

TEST_F(ModifierForms, OkIsRefusedUntilTheValueIsRightAndCancelKeepsTheForm) {
  LengthForm form{"1/16", false};
  QTimer::singleShot(0, [&] {
    TForm9& d = prompts.form9();
    EXPECT_EQ(d.Edit1->text(), "1/16");
    d.Edit1->setText("1/0");
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.Edit1->hasFocus() || !d.isActiveWindow());
    d.Edit1->setText("1/8");
    QTest::mouseClick(d.Shorter, Qt::LeftButton);
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
  });
  ASSERT_TRUE(prompts.askLength(form, [](const LengthForm& f) {
    const auto read = readLengthForm(f);
    if (const auto* e = std::get_if<FormError>(&read)) return std::optional<FormError>(*e);
    return std::optional<FormError>();
  }));
  ASSERT_EQ(questions.errors.size(), 1u);
  EXPECT_NE(questions.errors[0].find("長さ調整"), std::string::npos);
  EXPECT_EQ(form.amount, "1/8");
  EXPECT_TRUE(form.shorter);

  VelocityForm velocity{"100", "100"};
  QTimer::singleShot(0, [&] {
    prompts.form10().Edit2->setText("1");
    QTest::mouseClick(prompts.form10().CancelButton, Qt::LeftButton);
  });
  EXPECT_FALSE(prompts.askVelocity(velocity, {}));
  EXPECT_EQ(velocity.to, "100");
}

}  // namespace
}  // namespace kelvara::testing
