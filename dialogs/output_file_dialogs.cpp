#include "dialogs/output_file_dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace kelvara {

namespace {

QString text(const char* japanese) {
  return QCoreApplication::translate("kelvara::OutputFileDialogs", japanese);
}

}  // namespace

std::optional<OutputDialogs::ChosenPicture> OutputFileDialogs::choosePicture() {
  const QString jpegFilter =
      text(QT_TRANSLATE_NOOP("kelvara::OutputFileDialogs", "JPEG イメージファイル (*.jpg *.jpeg)"));
  const QString bitmapFilter =
      text(QT_TRANSLATE_NOOP("kelvara::OutputFileDialogs", "ビットマップ (*.bmp)"));
  const QString pngFilter =
      text(QT_TRANSLATE_NOOP("kelvara::OutputFileDialogs", "PNG イメージファイル (*.png)"));
  QString filter = jpegFilter;
  const QString name = QFileDialog::getSaveFileName(
      window_, text(QT_TRANSLATE_NOOP("kelvara::OutputFileDialogs", "画像を保存")), QString(),
      jpegFilter + ";;" + bitmapFilter + ";;" + pngFilter, &filter);
  if (name.isEmpty()) return std::nullopt;
  return ChosenPicture{name.toStdString(), filter == jpegFilter, filter == pngFilter};
}

bool OutputFileDialogs::choosePrinter(QPrinter& printer) {
  QPrintDialog dialog(&printer, window_);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace kelvara
