#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <functional>
#include <memory>
#include <string>

#include "print/page_target.h"

namespace kelvara {

// Output pages as one PDF file. The document is made in memory and written
// through the safe file writer when complete, so the file is the old one or
// the whole new document, never a part of it.
class PdfPages : public PageTarget {
 public:
  // Writes the finished document; returns an error text naming the file.
  using Writer = std::function<std::string(const std::string& path, const QByteArray& bytes)>;

  // layout: paper, orientation and margins; resolution in dots per inch.
  PdfPages(std::string path, const QPageLayout& layout, int resolution, const QString& title,
           Writer writer = {});
  ~PdfPages() override;

  QSize pageSize() const override;
  std::string beginPage(int part, int page) override;
  QPainter& painter() override { return *painter_; }
  std::string endPage() override;
  std::string finish(bool keep) override;

 private:
  // Ends the painter; false when that ran out of memory.
  bool endPainter();

  std::string path_;
  Writer writer_;
  QByteArray bytes_;
  QBuffer buffer_;
  // Held by pointer: a document whose closing ran out of memory is let go
  // instead of being closed again, as each try writes its end once more.
  std::unique_ptr<QPdfWriter> pdf_;
  std::unique_ptr<QPainter> painter_;
  int pages_ = 0;
};

}  // namespace kelvara
