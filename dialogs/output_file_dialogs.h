#pragma once

#include "print/output_dialogs.h"

class QWidget;

namespace kelvara {

// The output command's questions as Qt's save-file and print dialogs over
// `window`.
class OutputFileDialogs : public OutputDialogs {
 public:
  explicit OutputFileDialogs(QWidget* window) : window_(window) {}

  std::optional<ChosenPicture> choosePicture() override;
  bool choosePrinter(QPrinter& printer) override;

 private:
  QWidget* window_;
};

}  // namespace kelvara
