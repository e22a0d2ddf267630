#pragma once

#include <QDialog>
#include <cstdint>

#include "score/user_questions.h"

class QLineEdit;
class QPushButton;

namespace kelvara {

// "出力準備2": bars per staff line, staff lines per page, and whether to print
// or to write pictures. Made once and kept.
class TForm12 : public QDialog {
  Q_OBJECT

 public:
  // Problems with the typed numbers go to `questions` when given, else to a
  // message box.
  explicit TForm12(QWidget* parent = nullptr, UserQuestions* questions = nullptr);

  // Puts the two numbers into the boxes.
  void load(int32_t barsPerLine, int32_t linesPerPage);
  // The numbers of the boxes; checked when the dialog closed with OK.
  int32_t barsPerLine() const { return barsPerLine_; }
  int32_t linesPerPage() const { return linesPerPage_; }

  // The output kind chosen: 1 print, 2 picture.
  int OutputKind = 0;

  QLineEdit* Edit1 = nullptr;      // bars per staff line
  QLineEdit* Edit2 = nullptr;      // staff lines per page
  QPushButton* Button1 = nullptr;  // "印刷"
  QPushButton* Button3 = nullptr;  // "画像"
  QPushButton* CancelButton = nullptr;

 private:
  // "印刷" and "画像": close with OK and that kind when both numbers are usable;
  // otherwise the dialog stays open on the faulty box.
  void Button1Click();
  void Button3Click();
  void closeWith(int kind);

  UserQuestions* questions_;
  int32_t barsPerLine_ = 3;
  int32_t linesPerPage_ = 5;
};

}  // namespace kelvara
