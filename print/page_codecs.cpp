#include "print/page_codecs.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include "score/ui_text.h"

namespace kelvara {

namespace {

void put16(char*& at, uint32_t v) {
  *at++ = static_cast<char>(v & 0xFF);
  *at++ = static_cast<char>((v >> 8) & 0xFF);
}
void put32(char*& at, uint32_t v) {
  put16(at, v & 0xFFFF);
  put16(at, v >> 16);
}

constexpr uint32_t kBmpHeaders = 14 + 40;
constexpr uint32_t kBmpPalette = 256 * 4;

struct PngError {
  std::string message;
};

void onPngError(png_structp png, png_const_charp message) {
  static_cast<PngError*>(png_get_error_ptr(png))->message = message ? message : "";
  png_longjmp(png, 1);
}
void onPngWarning(png_structp, png_const_charp) {}

void appendPng(png_structp png, png_bytep data, size_t length) {
  if (!static_cast<PageBytes*>(png_get_io_ptr(png))->append(data, length)) {
    png_error(png, "out of memory");
  }
}
void flushPng(png_structp) {}

// Kept apart from its caller so that nothing with a destructor lives where
// an error jumps back to.
bool writePng(png_structp png, png_infop info, const QImage& page, PageBytes& bytes) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_write_fn(png, &bytes, appendPng, flushPng);
  png_set_IHDR(png, info, static_cast<png_uint_32>(page.width()),
               static_cast<png_uint_32>(page.height()), 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (page.dotsPerMeterX() > 0 && page.dotsPerMeterY() > 0) {
    png_set_pHYs(png, info, static_cast<png_uint_32>(page.dotsPerMeterX()),
                 static_cast<png_uint_32>(page.dotsPerMeterY()), PNG_RESOLUTION_METER);
  }
  // White rows and the staff lines repeat down the page: the row above
  // leaves runs of zeros, which run-length deflating packs at little cost.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_level(png, Z_BEST_SPEED);
  png_set_compression_strategy(png, Z_RLE);
  // Fewer, longer IDAT chunks and deflate calls.
  png_set_compression_buffer_size(png, size_t{1} << 17);
  png_write_info(png, info);
  for (int y = 0; y < page.height(); ++y) {
    png_write_row(png, const_cast<png_bytep>(page.constScanLine(y)));
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

namespace {

// Bytes of the bitmap file of `page`; 0 when it cannot be one.
size_t greyBmpSize(const QImage& page) {
  if (page.format() != QImage::Format_Grayscale8) return 0;
  const auto stride = static_cast<uint64_t>((page.width() + 3) & ~3);
  const uint64_t total = kBmpHeaders + kBmpPalette + stride * static_cast<uint64_t>(page.height());
  return total > static_cast<uint64_t>(INT32_MAX) ? 0 : static_cast<size_t>(total);
}

void putGreyBmp(const QImage& page, char* at) {
  const auto width = static_cast<uint32_t>(page.width());
  const auto height = static_cast<uint32_t>(page.height());
  const uint32_t stride = (width + 3) & ~3u;
  *at++ = 'B';
  *at++ = 'M';
  put32(at, static_cast<uint32_t>(greyBmpSize(page)));
  put32(at, 0);
  put32(at, kBmpHeaders + kBmpPalette);
  put32(at, 40);
  put32(at, width);
  put32(at, height);  // positive: the bottom row first
  put16(at, 1);
  put16(at, 8);
  put32(at, 0);  // no compression
  put32(at, stride * height);
  put32(at, static_cast<uint32_t>(std::max(0, page.dotsPerMeterX())));
  put32(at, static_cast<uint32_t>(std::max(0, page.dotsPerMeterY())));
  put32(at, 256);
  put32(at, 0);
  for (uint32_t i = 0; i < 256; ++i) {
    const char grey = static_cast<char>(i);
    *at++ = grey;
    *at++ = grey;
    *at++ = grey;
    *at++ = 0;
  }
  for (uint32_t y = height; y-- > 0;) {
    std::memcpy(at, page.constScanLine(static_cast<int>(y)), width);
    std::memset(at + width, 0, stride - width);
    at += stride;
  }
}

}  // namespace

std::string encodeGreyBmp(const QImage& page, PageBytes& bytes) {
  const size_t size = greyBmpSize(page);
  if (size == 0 || !bytes.resize(size)) {
    return uiText("kelvara::Print", "ビットマップに変換できません。");
  }
  putGreyBmp(page, reinterpret_cast<char*>(bytes.data()));
  return {};
}

std::string encodeGreyPng(const QImage& page, PageBytes& bytes) {
  const std::string failed = uiText("kelvara::Print", "PNG に変換できません。");
  if (page.format() != QImage::Format_Grayscale8) return failed;
  PngError error;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, onPngError, onPngWarning);
  if (png == nullptr) return failed;
  png_infop info = png_create_info_struct(png);
  bytes.clear();  // keeps the memory it has
  const bool ok = info != nullptr && writePng(png, info, page, bytes);
  png_destroy_write_struct(&png, &info);
  if (!ok) {
    bytes.clear();
    return error.message.empty() ? failed : failed + " (" + error.message + ")";
  }
  return {};
}

}  // namespace kelvara
