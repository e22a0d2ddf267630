#pragma once

#include <QPainter>
#include <memory>
#include <string>

#include "print/page_target.h"

class QPrinter;

namespace kelvara {

// Output pages sent to a printer (or a PDF file through the printer): one
// job for all parts, each page the printer's printable area.
class PrinterPages : public PageTarget {
 public:
  explicit PrinterPages(QPrinter& printer);
  ~PrinterPages() override;

  QSize pageSize() const override;
  std::string beginPage(int part, int page) override;
  QPainter& painter() override { return painter_; }
  std::string endPage() override;
  std::string finish(bool keep) override;

  int pagesStarted() const { return pages_; }

 private:
  std::string failure() const;

  QPrinter& printer_;
  QPainter painter_;
  int pages_ = 0;
};

// The target for a printer set up by the print dialog: when it prints to a
// PDF file, that file is written whole or not at all (PdfPages); otherwise
// the pages go to the printer.
std::unique_ptr<PageTarget> printTargetFor(QPrinter& printer);

}  // namespace kelvara
