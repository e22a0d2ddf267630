#include "print/printer_pages.h"

#include <QPrinter>

#include "print/pdf_pages.h"
#include "score/ui_text.h"

namespace kelvara {

std::unique_ptr<PageTarget> printTargetFor(QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
    return std::make_unique<PdfPages>(printer.outputFileName().toStdString(), printer.pageLayout(),
                                      printer.resolution(), printer.docName());
  }
  return std::make_unique<PrinterPages>(printer);
}

PrinterPages::PrinterPages(QPrinter& printer) : printer_(printer) {}

PrinterPages::~PrinterPages() {
  if (painter_.isActive()) painter_.end();
}

QSize PrinterPages::pageSize() const {
  return printer_.pageLayout().paintRectPixels(printer_.resolution()).size();
}

std::string PrinterPages::failure() const {
  const QString file = printer_.outputFileName();
  if (!file.isEmpty())
    return fillText(uiText("kelvara::Print", "ファイル %1 に印刷できません。"),
                    {file.toStdString()});
  return fillText(uiText("kelvara::Print", "プリンタ %1 に印刷できません。"),
                  {printer_.printerName().toStdString()});
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

std::string PrinterPages::finish(bool keep) {
  // A failed job does not go to the printer half made.
  if (!keep && painter_.isActive()) printer_.abort();
  if (painter_.isActive() && !painter_.end()) return failure();
  if (printer_.printerState() == QPrinter::Error) return failure();
  return {};
}

}  // namespace kelvara
