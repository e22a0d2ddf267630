#pragma once

#include <QDialog>
#include <array>

#include "score/editor_state.h"
#include "score/user_questions.h"
#include "sound/preview_range.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kelvara {

// The preview preparation dialog "試聴－準備": which parts to hear, and all
// bars or a range of them.
class TForm6 : public QDialog {
  Q_OBJECT

 public:
  // Problems with the bar boxes go to `questions` when given, else to a
  // message box.
  explicit TForm6(QWidget* parent = nullptr, UserQuestions* questions = nullptr);

  // Ticks the check boxes from the parts' flags, and reads them back.
  void load(const PerPart<uint8_t>& selected);
  PerPart<uint8_t> selectedParts() const;
  // The range chosen; valid once OK has been accepted.
  PreviewRange range() const { return range_; }

  // "すべて" chosen: the bar boxes are disabled and take the button colour.
  void RadioButton1Click();
  // "一部" chosen: the bar boxes are enabled and white.
  void RadioButton2Click();

  // The check box of a part (by part index).
  QCheckBox* partBox(int part) const;

  QRadioButton* RadioButton1 = nullptr;  // "すべて"
  QRadioButton* RadioButton2 = nullptr;  // "一部"
  QLineEdit* Edit12 = nullptr;           // first bar
  QLineEdit* Edit13 = nullptr;           // last bar
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 public slots:
  // OK only with a usable range: otherwise the dialog stays open on the box
  // to fix and says what is wrong with it.
  void accept() override;

 private:
  void setBoxesEnabled(bool enabled);

  UserQuestions* questions_;
  PerPart<QCheckBox*> parts_{};  // by part index
  PreviewRange range_;
};

}  // namespace kelvara
