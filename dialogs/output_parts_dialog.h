#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "score/editor_state.h"
#include "score/user_questions.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kelvara {

// "出力準備1": the parts to output and the range of bars. Made once and kept,
// so its controls keep their state between uses.
class TForm13 : public QDialog {
  Q_OBJECT

 public:
  // Problems with the typed bar numbers go to `questions` when given, else to
  // a message box.
  explicit TForm13(QWidget* parent = nullptr, UserQuestions* questions = nullptr);

  // The chosen parts by part index ("10パート" is index 10, "パーカッション" index 9).
  PerPart<uint8_t> parts() const;
  // True when "すべて" is chosen.
  bool wholeRange() const;
  // The bar numbers of the boxes; only meaningful after OK with "一部".
  int32_t firstBar() const { return firstBar_; }
  int32_t lastBar() const { return lastBar_; }

  // The check box of a part, by part index.
  QCheckBox* partBox(int part) const;

  // Check boxes in their order on the dialog: CheckBox1 .. CheckBox11.
  std::array<QCheckBox*, kPartCount> CheckBox{};
  QRadioButton* RadioButton1 = nullptr;  // "すべて"
  QRadioButton* RadioButton2 = nullptr;  // "一部"
  QLineEdit* Edit1 = nullptr;            // first bar
  QLineEdit* Edit2 = nullptr;            // last bar
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 public slots:
  // OK: with "一部", only when both boxes hold bar numbers from 1 and the last
  // is not before the first; otherwise the dialog stays open on the faulty box.
  void accept() override;

 private:
  // "一部" enables the bar boxes and paints them white; "すべて" disables them.
  void RadioButtonClick();
  bool refuse(QLineEdit* box, const std::string& text);

  UserQuestions* questions_;
  PerPart<QCheckBox*> parts_{};  // by part index
  int32_t firstBar_ = 1;
  int32_t lastBar_ = 1;
};

}  // namespace kelvara
