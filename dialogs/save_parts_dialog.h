#pragma once

#include <QDialog>
#include <array>

#include "score/editor_state.h"

class QCheckBox;
class QPushButton;

namespace kelvara {

// "保存－準備": which parts to save.
class TForm7 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm7(QWidget* parent = nullptr);

  // Ticks the box of every selected part, and reads them back.
  void load(const PerPart<uint8_t>& selected);
  PerPart<uint8_t> values() const;

  // The box of a part: CheckBox1..CheckBox9 are parts 0..8, CheckBox10 is
  // part 10 and CheckBox11 the percussion part.
  QCheckBox* partBox(int part) const;

  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  PerPart<QCheckBox*> boxes_{};  // by part index
};

}  // namespace kelvara
