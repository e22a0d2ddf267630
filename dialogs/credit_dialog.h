#pragma once

#include <QDialog>
#include <functional>

#include "editor/command_dialogs.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace kelvara {

// The credit dialog "Credit": the program's name, date and version, a
// picture, and the auxiliary options. It has no OK or Cancel: it is
// closed with the window's close box, and the boxes count however it closes.
class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(QWidget* parent = nullptr);

  void setPicture(const QImage& picture);
  // Ticks the boxes without reporting a change, and reads them back.
  void load(const AuxiliaryOptions& options);
  AuxiliaryOptions values() const;
  // Called whenever a box is ticked or cleared.
  void setOnChange(std::function<void(const AuxiliaryOptions&)> onChange);
  // The interface language shown as chosen ("ja" or "en"), without
  // reporting a change; a choice takes effect at the next start.
  void setLanguage(const QString& language);
  QString language() const;
  // Called whenever another language is chosen.
  void setOnLanguageChange(std::function<void(const QString&)> onChange);

  QLabel* Picture = nullptr;
  QCheckBox* CheckBox1 = nullptr;    // make the cursor blink
  QCheckBox* CheckBox2 = nullptr;    // act on up/down arrow key input
  QCheckBox* CheckBox3 = nullptr;    // draw standard notation
  QComboBox* LanguageBox = nullptr;  // the interface language

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::function<void(const AuxiliaryOptions&)> onChange_;
  std::function<void(const QString&)> onLanguageChange_;
};

}  // namespace kelvara
