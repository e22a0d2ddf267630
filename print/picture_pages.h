#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <functional>
#include <string>
#include <vector>

#include "print/page_grid.h"
#include "print/page_target.h"

namespace kelvara {

// Writes `bytes` as the file `path` through the safe file writer: the old
// file or the whole new one, nothing left behind. Returns an error message
// naming the file and the reason, empty on success.
std::string writeFileAtomically(const std::string& path, const QByteArray& bytes);

// Encodes a finished page as the file kind of its extension.
std::string encodePicture(const QImage& page, PictureFormat format, QByteArray& bytes);

// Output pages as picture files, one a page: base + part + "_" + page +
// extension, JPEG or bitmap by the extension.
class PicturePages : public PageTarget {
 public:
  using Writer = std::function<std::string(const std::string& path, const QByteArray& bytes)>;

  PicturePages(std::string base, std::string extension, Writer writer = writeFileAtomically);
  ~PicturePages() override;

  QSize pageSize() const override { return {kPictureContentWidth, kPictureHeight}; }
  std::string beginPage(int part, int page) override;
  QPainter& painter() override { return painter_; }
  std::string endPage() override;
  std::string finish(bool keep) override;

  // The files written so far, in order.
  const std::vector<std::string>& written() const { return written_; }

 private:
  std::string base_;
  std::string extension_;
  Writer writer_;
  QImage page_;  // the finished page, 1240 x 1754
  QPainter painter_;
  std::string name_;
  std::vector<std::string> written_;
};

}  // namespace kelvara
