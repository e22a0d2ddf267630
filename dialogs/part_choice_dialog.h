#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace kelvara {

// "保存－選択": which one of the ten melodic parts a one-part file is saved
// from or loaded into. It cannot be cancelled: it always gives a part.
class TForm8 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm8(QWidget* parent = nullptr);

  // Shows the dialog with its two lines and the first part chosen; returns
  // the chosen item (0..9, item 9 is part 10).
  int choose(const QString& line1, const QString& line2);

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QPushButton* OkButton = nullptr;

 public slots:
  // Escape does not close it: a part must be chosen.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kelvara
