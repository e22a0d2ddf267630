#include "dialogs/output_file_dialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace kelvara {

namespace {

const QString kJpegFilter = QStringLiteral("JPEG イメージファイル (*.jpg *.jpeg)");
const QString kBitmapFilter = QStringLiteral("ビットマップ (*.bmp)");
const QString kPngFilter = QStringLiteral("PNG イメージファイル (*.png)");

}  // namespace

std::optional<OutputDialogs::ChosenPicture> OutputFileDialogs::choosePicture() {
  QString filter = kJpegFilter;
  const QString name =
      QFileDialog::getSaveFileName(window_, QStringLiteral("画像を保存"), QString(),
                                   kJpegFilter + ";;" + kBitmapFilter + ";;" + kPngFilter, &filter);
  if (name.isEmpty()) return std::nullopt;
  return ChosenPicture{name.toStdString(), filter == kJpegFilter, filter == kPngFilter};
}

bool OutputFileDialogs::choosePrinter(QPrinter& printer) {
  QPrintDialog dialog(&printer, window_);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace kelvara
