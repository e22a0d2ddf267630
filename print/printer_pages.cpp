#include "print/printer_pages.h"

#include <QPrinter>

namespace kelvara {

PrinterPages::PrinterPages(QPrinter& printer) : printer_(printer) {}

PrinterPages::~PrinterPages() {
  if (painter_.isActive()) painter_.end();
}

QSize PrinterPages::pageSize() const {
  return printer_.pageLayout().paintRectPixels(printer_.resolution()).size();
}

std::string PrinterPages::failure() const {
  const QString file = printer_.outputFileName();
  if (!file.isEmpty()) return "ファイル " + file.toStdString() + " に印刷できません。";
  return "プリンタ " + printer_.printerName().toStdString() + " に印刷できません。";
}

std::string PrinterPages::beginPage(int, int) {
  if (pages_ == 0) {
    if (!painter_.begin(&printer_)) return failure();
  } else if (!printer_.newPage()) {
    return failure();
  }
  ++pages_;
  return {};
}

std::string PrinterPages::endPage() {
  if (printer_.printerState() == QPrinter::Error) return failure();
  return {};
}

std::string PrinterPages::finish() {
  if (painter_.isActive() && !painter_.end()) return failure();
  if (printer_.printerState() == QPrinter::Error) return failure();
  return {};
}

}  // namespace kelvara
