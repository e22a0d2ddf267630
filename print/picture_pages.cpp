#include "print/picture_pages.h"

#include <sys/mman.h>
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
// Huge pages of memory, where the system hands them out on request.
constexpr size_t kHugePage = size_t{2} << 20;

// A white-to-be greyscale picture in memory of its own, given in huge pages
// where the system has them: a fresh 300-dpi page (8.7 MB) is then touched
// in a few faults instead of two thousand, which a virtual machine makes dear.
// `size` bytes rounded up to whole huge pages (the rounded size is put
// back), advised to be given in them; null when the memory cannot be had.
void* largeMemory(size_t& size) {
  size = (size + kHugePage - 1) / kHugePage * kHugePage;
  void* memory = std::aligned_alloc(kHugePage, size);
  // Only advice: without it the memory just costs more to touch.
  if (memory != nullptr) ::madvise(memory, size, MADV_HUGEPAGE);
  return memory;
}

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

std::string encodePicture(const QImage& page, PictureFormat format, QByteArray& bytes) {
  if (format == PictureFormat::Bmp || format == PictureFormat::Png) {
    const bool bmp = format == PictureFormat::Bmp;
    if (page.format() == kPageFormat)
      return bmp ? encodeGreyBmp(page, bytes) : encodeGreyPng(page, bytes);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!page.save(&buffer, bmp ? "BMP" : "PNG", bmp ? -1 : kPngQuality)) {
      return bmp ? uiText("kelvara::Print", "ビットマップに変換できません。")
                 : uiText("kelvara::Print", "PNG に変換できません。");
    }
    return {};
  }
  std::vector<unsigned char> jpeg;
  std::string error = encodeJpeg(page, jpeg);
  if (!error.empty()) return error;
  bytes =
      QByteArray(reinterpret_cast<const char*>(jpeg.data()), static_cast<qsizetype>(jpeg.size()));
  return {};
}

PicturePages::PicturePages(std::string base, std::string extension, Writer writer, int32_t dpi)
    : base_(std::move(base)),
      dpi_(std::clamp(dpi, kMinPictureDpi, kMaxPictureDpi)),
      extension_(std::move(extension)),
      writer_(std::move(writer)) {}

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
  // The bytes of the last page are reused when the writer kept none of them.
  QByteArray& bytes = fileBytes_;
  if (std::string error = encodePicture(page_, pictureFormatFor(extension_), bytes);
      !error.empty()) {
    return name_ + ": " + error;
  }
  if (std::string failed = writer_(name_, bytes); !failed.empty()) return failed;
  written_.push_back(name_);
  return {};
}

std::string PicturePages::finish(bool /*keep: each page is a file of its own*/) {
  if (painter_.isActive()) painter_.end();
  page_ = QImage();
  fileBytes_ = QByteArray();
  return {};
}

}  // namespace kelvara
