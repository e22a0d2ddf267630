#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "print/page_bytes.h"
#include "print/page_grid.h"
#include "print/page_target.h"

namespace kelvara {

// Writes `bytes` as the file `path` through the safe file writer: the old
// file or the whole new one, nothing left behind. Returns an error message
// naming the file and the reason, empty on success.
std::string writeFileAtomically(const std::string& path, const QByteArray& bytes);

// Encodes a finished page as the file kind of its extension.
std::string encodePicture(const QImage& page, PictureFormat format, PageBytes& bytes);

// Output pages as picture files, one a page: base + part + "_" + page +
// extension, JPEG or bitmap by the extension.
class PicturePages : public PageTarget {
 public:
  // Writes one picture file; returns an error text naming the file. The
  // bytes are the target's own: a writer that keeps them copies them.
  using Writer =
      std::function<std::string(const std::string& path, std::span<const uint8_t> bytes)>;

  // `dpi`: the pictures' resolution (kMinPictureDpi .. kMaxPictureDpi; A4 at
  // kPictureDpi is 1240 x 1754 pixels); no writer: the safe file writer.
  PicturePages(std::string base, std::string extension, Writer writer = {},
               int32_t dpi = kPictureDpi);
  ~PicturePages() override;

  QSize pageSize() const override { return {scaled(kPictureContentWidth), scaled(kPictureHeight)}; }
  int glyphScale() const override;
  std::string beginPage(int part, int page) override;
  QPainter& painter() override { return painter_; }
  std::string endPage() override;
  std::string finish(bool keep) override;

  // The files written so far, in order.
  const std::vector<std::string>& written() const { return written_; }

 private:
  // A size at kPictureDpi in pixels of this resolution.
  int32_t scaled(int32_t pixels) const;

  std::string base_;
  int32_t dpi_;
  std::string extension_;
  Writer writer_;
  QImage page_;  // the finished page, 1240 x 1754 at 150 dpi
  // The file of the last page, its memory used again for the next page.
  PageBytes fileBytes_;
  QPainter painter_;
  std::string name_;
  std::vector<std::string> written_;
};

}  // namespace kelvara
