#include "print/page_codecs.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <iterator>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

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

// A horizontal strip of the page, rows [from, to), deflated on its own:
// each row is a filter byte and the row less the row above. Strips joined
// in order make one deflate stream (every strip but the last ends on a byte
// boundary without ending the stream), so two cores can pack one page.
struct Strip {
  int from = 0;
  int to = 0;
  bool first = false;  // begins with the zlib header
  bool last = false;   // ends the stream, followed by the checksum of all
  std::vector<uint8_t> bytes;
  uLong adler = 1;   // checksum of the strip's filtered rows
  uLong length = 0;  // bytes of filtered rows
  bool ok = false;
};

// The zlib header of a stream packed at the fastest level.
constexpr uint8_t kZlibHeader[] = {0x78, 0x01};
// Strips shorter than this are not worth a second thread.
constexpr int kLeastStripRows = 256;
constexpr size_t kOutputStep = size_t{1} << 16;

bool deflateRows(const QImage& page, Strip& strip, z_stream& z) {
  size_t used = 0;
  auto pack = [&](int flush) {
    for (;;) {
      if (used == strip.bytes.size()) strip.bytes.resize(used + kOutputStep);
      z.next_out = strip.bytes.data() + used;
      z.avail_out = static_cast<uInt>(strip.bytes.size() - used);
      const int rc = deflate(&z, flush);
      used = strip.bytes.size() - z.avail_out;
      if (rc == Z_STREAM_ERROR) return false;
      if (flush == Z_FINISH ? rc == Z_STREAM_END : z.avail_out != 0) return true;
    }
  };
  if (strip.first) strip.bytes.assign(std::begin(kZlibHeader), std::end(kZlibHeader));
  used = strip.bytes.size();
  const auto width = static_cast<size_t>(page.width());
  // White rows and the staff lines repeat down the page: the row above
  // leaves runs of zeros, which run-length deflating packs at little cost.
  std::vector<uint8_t> row(width + 1, 0);
  row[0] = 2;  // the filter "up"
  for (int y = strip.from; y < strip.to; ++y) {
    const uchar* line = page.constScanLine(y);
    if (y == 0) {
      std::memcpy(row.data() + 1, line, width);
    } else {
      const uchar* above = page.constScanLine(y - 1);
      for (size_t i = 0; i < width; ++i) row[i + 1] = static_cast<uint8_t>(line[i] - above[i]);
    }
    strip.adler = adler32(strip.adler, row.data(), static_cast<uInt>(row.size()));
    strip.length += static_cast<uLong>(row.size());
    z.next_in = row.data();
    z.avail_in = static_cast<uInt>(row.size());
    const bool end = y + 1 == strip.to;
    if (!pack(!end ? Z_NO_FLUSH : strip.last ? Z_FINISH : Z_SYNC_FLUSH)) return false;
  }
  strip.bytes.resize(used);
  return true;
}

// Packs one strip; its `ok` says whether it could (not without memory).
void deflateStrip(const QImage& page, Strip& strip) noexcept {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_RLE) != Z_OK) return;
  try {
    strip.ok = deflateRows(page, strip, z);
  } catch (const std::bad_alloc&) {
    strip.ok = false;
  }
  deflateEnd(&z);
}

// The page's image data: the rows packed in two strips at once, on a thread
// of their own for the lower half, or in turn where the system gives no
// thread (under a low memory limit).
bool packPage(const QImage& page, Strip& top, Strip& bottom) {
  const int height = page.height();
  const bool split = height >= 2 * kLeastStripRows;
  top.to = split ? height / 2 : height;
  top.first = true;
  top.last = !split;
  bottom.from = top.to;
  bottom.to = height;
  bottom.last = true;
  if (!split) {
    deflateStrip(page, top);
    return top.ok;
  }
  std::thread apart;
  try {
    apart = std::thread([&page, &bottom] { deflateStrip(page, bottom); });
  } catch (const std::system_error&) {
  }
  deflateStrip(page, top);
  if (apart.joinable()) {
    apart.join();
  } else {
    deflateStrip(page, bottom);
  }
  return top.ok && bottom.ok;
}

// Kept apart from its caller so that nothing with a destructor lives where
// an error jumps back to.
bool writePng(png_structp png, png_infop info, const QImage& page, PageBytes& bytes,
              const Strip& top, const Strip& bottom, const uint8_t (&checksum)[4]) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_write_fn(png, &bytes, appendPng, flushPng);
  png_set_IHDR(png, info, static_cast<png_uint_32>(page.width()),
               static_cast<png_uint_32>(page.height()), 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (page.dotsPerMeterX() > 0 && page.dotsPerMeterY() > 0) {
    png_set_pHYs(png, info, static_cast<png_uint_32>(page.dotsPerMeterX()),
                 static_cast<png_uint_32>(page.dotsPerMeterY()), PNG_RESOLUTION_METER);
  }
  png_write_info(png, info);
  // The stream packed above, as image data chunks, then the end.
  static constexpr png_byte kData[] = "IDAT";
  for (const Strip* strip : {&top, &bottom}) {
    if (!strip->bytes.empty())
      png_write_chunk(png, kData, strip->bytes.data(), strip->bytes.size());
  }
  png_write_chunk(png, kData, checksum, sizeof checksum);
  static constexpr png_byte kEnd[] = "IEND";
  png_write_chunk(png, kEnd, nullptr, 0);
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
  Strip top, bottom;
  bool ok = info != nullptr && packPage(page, top, bottom);
  if (ok) {
    const uLong adler =
        adler32_combine(top.adler, bottom.adler, static_cast<z_off_t>(bottom.length));
    const uint8_t checksum[4] = {static_cast<uint8_t>(adler >> 24),
                                 static_cast<uint8_t>(adler >> 16),
                                 static_cast<uint8_t>(adler >> 8), static_cast<uint8_t>(adler)};
    ok = writePng(png, info, page, bytes, top, bottom, checksum);
  }
  png_destroy_write_struct(&png, &info);
  if (!ok) {
    bytes.clear();
    return error.message.empty() ? failed : failed + " (" + error.message + ")";
  }
  return {};
}

}  // namespace kelvara
