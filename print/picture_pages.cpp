#include "print/picture_pages.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <utility>

#include "files/atomic_write.h"
#include "print/page_codecs.h"
#include "render/jpeg_codec.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {
// Score pages are black on white: one byte a pixel.
constexpr QImage::Format kPageFormat = QImage::Format_Grayscale8;
// The PNG writer's quality: 80 is zlib's fastest level. A page is mostly
// white, so the file stays small while a 300-dpi page is written in a
// fraction of the default level's time.
constexpr int kPngQuality = 80;
QImage largeGreyImage(int32_t width, int32_t height) {
  const auto stride = static_cast<size_t>((width + 63) / 64 * 64);
  size_t size = stride * static_cast<size_t>(height);
  void* memory = largeMemory(size);
  if (memory == nullptr) return {};
  QImage image(
      static_cast<uchar*>(memory), width, height, static_cast<qsizetype>(stride), kPageFormat,
      [](void* m) { std::free(m); }, memory);
  if (image.isNull()) std::free(memory);
  return image;
}

}  // namespace

std::string writeFileAtomically(const std::string& path, const QByteArray& bytes) {
  return writeFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                             static_cast<size_t>(bytes.size())));
}

std::string encodePicture(const QImage& page, PictureFormat format, PageBytes& bytes) {
  bytes.clear();
  if (format == PictureFormat::Bmp || format == PictureFormat::Png) {
    const bool bmp = format == PictureFormat::Bmp;
    if (page.format() == kPageFormat)
      return bmp ? encodeGreyBmp(page, bytes) : encodeGreyPng(page, bytes);
    QByteArray saved;
    QBuffer buffer(&saved);
    buffer.open(QIODevice::WriteOnly);
    if (!page.save(&buffer, bmp ? "BMP" : "PNG", bmp ? -1 : kPngQuality) ||
        !bytes.append(saved.constData(), static_cast<size_t>(saved.size()))) {
      return bmp ? uiText("kelvara::Print", "ビットマップに変換できません。")
                 : uiText("kelvara::Print", "PNG に変換できません。");
    }
    return {};
  }
  return encodeJpeg(
      page, [&bytes](const unsigned char* data, size_t size) { return bytes.append(data, size); });
}

PicturePages::PicturePages(std::string base, std::string extension, Writer writer, int32_t dpi)
    : base_(std::move(base)),
      dpi_(std::clamp(dpi, kMinPictureDpi, kMaxPictureDpi)),
      extension_(std::move(extension)),
      writer_(writer ? std::move(writer)
                     : Writer([](const std::string& path, std::span<const uint8_t> bytes) {
                         return writeFileAtomically(path, bytes);
                       })) {}

int32_t PicturePages::scaled(int32_t pixels) const {
  return static_cast<int32_t>(static_cast<int64_t>(pixels) * dpi_ / kPictureDpi);
}

int PicturePages::glyphScale() const {
  for (const int k : {2, 4}) {
    if (dpi_ == kPictureDpi * k) return k;
  }
  return 0;
}

PicturePages::~PicturePages() {
  if (painter_.isActive()) painter_.end();
}

std::string PicturePages::beginPage(int part, int page) {
  if (painter_.isActive()) painter_.end();
  // One page picture for the whole run, painted through a window that leaves
  // the side margins white.
  if (page_.isNull()) {
    page_ = largeGreyImage(scaled(kPictureWidth), scaled(kPictureHeight));
    if (page_.isNull()) return uiText("kelvara::Print", "メモリが足りないため絵を作れません。");
    // The painter sizes the page's text and thinnest lines by it.
    const int dotsPerMetre = static_cast<int>(std::lround(dpi_ / 0.0254));
    page_.setDotsPerMeterX(dotsPerMetre);
    page_.setDotsPerMeterY(dotsPerMetre);
  }
  page_.fill(Qt::white);
  name_ = pictureFileName(base_, part, page, extension_);
  if (!painter_.begin(&page_))
    return fillText(uiText("kelvara::Print", "絵 %1 を描けません。"), {name_});
  painter_.translate(scaled(kPictureSideMargin), 0);
  painter_.setClipRect(0, 0, scaled(kPictureContentWidth), scaled(kPictureHeight));
  return {};
}

std::string PicturePages::endPage() {
  painter_.end();
  // The memory of the last page's file is used again.
  PageBytes& bytes = fileBytes_;
  if (std::string error = encodePicture(page_, pictureFormatFor(extension_), bytes);
      !error.empty()) {
    return name_ + ": " + error;
  }
  if (std::string failed = writer_(name_, bytes.bytes()); !failed.empty()) return failed;
  written_.push_back(name_);
  return {};
}

std::string PicturePages::finish(bool /*keep: each page is a file of its own*/) {
  if (painter_.isActive()) painter_.end();
  page_ = QImage();
  fileBytes_.release();
  return {};
}

}  // namespace kelvara
