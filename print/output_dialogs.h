#pragma once

#include <optional>
#include <string>

class QPrinter;

namespace kelvara {

// The two questions of the output command ("出力") after its own dialogs:
// where the pictures go and which printer prints. The shell asks them with
// the file and print dialogs; tests script them.
class OutputDialogs {
 public:
  // The name chosen in the save-picture dialog, and whether the JPEG (else
  // the bitmap, or the PNG) filter was chosen.
  struct ChosenPicture {
    std::string name;
    bool jpegFilter = true;
    bool pngFilter = false;
  };

  virtual ~OutputDialogs() = default;

  // The save-picture dialog; nothing when cancelled.
  virtual std::optional<ChosenPicture> choosePicture() = 0;
  // The print dialog on `printer`: true when the user chose a printer.
  virtual bool choosePrinter(QPrinter& printer) = 0;
};

}  // namespace kelvara
