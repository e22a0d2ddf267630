#include "print/pdf_pages.h"

#include <new>
#include <utility>

#include "print/picture_pages.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

std::string cannotMake(const std::string& path, const std::string& reason) {
  return fillText(uiText("kelvara::Print", "ファイル %1 を作成できません（%2）"), {path, reason});
}

}  // namespace

PdfPages::PdfPages(std::string path, const QPageLayout& layout, int resolution,
                   const QString& title, Writer writer)
    : path_(std::move(path)),
      writer_(writer ? std::move(writer) : Writer([](const std::string& p, const QByteArray& b) {
        return writeFileAtomically(p, b);
      })),
      buffer_(&bytes_),
      pdf_(std::make_unique<QPdfWriter>(&buffer_)),
      painter_(std::make_unique<QPainter>()) {
  buffer_.open(QIODevice::WriteOnly);
  pdf_->setResolution(resolution);
  pdf_->setPageLayout(layout);
  pdf_->setCreator(QStringLiteral("Kelvara"));
  pdf_->setTitle(title);
}

PdfPages::~PdfPages() {
  endPainter();
}

bool PdfPages::endPainter() {
  if (!painter_ || !painter_->isActive()) return true;
  try {
    return painter_->end();
  } catch (const std::bad_alloc&) {
    // Neither may be ended or destroyed now: that would write the end again.
    static_cast<void>(painter_.release());
    static_cast<void>(pdf_.release());
    return false;
  }
}

QSize PdfPages::pageSize() const {
  return pdf_->pageLayout().paintRectPixels(pdf_->resolution()).size();
}

std::string PdfPages::beginPage(int, int) {
  if (pages_ == 0) {
    if (!painter_->begin(pdf_.get()))
      return cannotMake(path_, uiText("kelvara::Print", "PDF を作れません"));
  } else if (!pdf_->newPage()) {
    return cannotMake(path_, uiText("kelvara::Print", "PDF のページを作れません"));
  }
  ++pages_;
  return {};
}

std::string PdfPages::endPage() {
  return {};
}

std::string PdfPages::finish(bool keep) {
  const bool ended = endPainter();
  if (!painter_) return cannotMake(path_, uiText("kelvara::Print", "メモリが足りません"));
  // A job that failed, or that never had a page, writes nothing.
  if (!keep || pages_ == 0) return {};
  try {
    // The document is complete only with its closing trailer.
    if (!ended || !bytes_.right(16).contains("%%EOF")) {
      return cannotMake(path_, uiText("kelvara::Print", "PDF を完成できません"));
    }
    const std::string written = writer_(path_, bytes_);
    bytes_.clear();
    return written;
  } catch (const std::bad_alloc&) {
    return cannotMake(path_, uiText("kelvara::Print", "メモリが足りません"));
  }
}

}  // namespace kelvara
