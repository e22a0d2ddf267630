#include "imagefile.h"

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>

namespace {

void put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
  put16(b, v & 0xffff);
  put16(b, v >> 16);
}

// BITMAPFILEHEADER + BITMAPINFOHEADER for a bottom-up bitmap.
std::vector<uint8_t> bmpHeader(int width, int height, int bitsPerPixel, int paletteEntries,
                               uint32_t imageBytes) {
  const uint32_t offset = 14 + 40 + 4 * paletteEntries;
  std::vector<uint8_t> b;
  b.push_back('B');
  b.push_back('M');
  put32(b, offset + imageBytes);
  put32(b, 0);
  put32(b, offset);
  put32(b, 40);
  put32(b, static_cast<uint32_t>(width));
  put32(b, static_cast<uint32_t>(height));
  put16(b, 1);
  put16(b, static_cast<uint32_t>(bitsPerPixel));
  put32(b, 0);  // BI_RGB
  put32(b, imageBytes);
  put32(b, 2835);  // 72 dpi
  put32(b, 2835);
  put32(b, static_cast<uint32_t>(paletteEntries));
  put32(b, 0);
  return b;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void writeGreyBmp(const std::string& path, int width, int height,
                  const std::vector<uint8_t>& grey) {
  const int stride = (width + 3) & ~3;
  auto b = bmpHeader(width, height, 8, 256, static_cast<uint32_t>(stride * height));
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint8_t>(i);
    b.insert(b.end(), {v, v, v, 0});
  }
  for (int y = height - 1; y >= 0; --y) {
    const uint8_t* row = grey.data() + static_cast<std::size_t>(y) * width;
    b.insert(b.end(), row, row + width);
    b.insert(b.end(), static_cast<std::size_t>(stride - width), 0);
  }
  writeFile(path, b);
}

void writeGreyPng(const std::string& path, int width, int height,
                  const std::vector<uint8_t>& grey) {
  QImage image(width, height, QImage::Format_Grayscale8);
  for (int y = 0; y < height; ++y) {
    std::copy_n(grey.data() + static_cast<std::size_t>(y) * width, width, image.scanLine(y));
  }
  // Quality 0 is the strongest compression.
  if (!image.save(QString::fromStdString(path), "PNG", 0)) {
    throw std::runtime_error("cannot write " + path);
  }
}

void writeColourBmp(const std::string& path, const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  const int width = rgb.width();
  const int height = rgb.height();
  const int stride = (width * 3 + 3) & ~3;
  auto b = bmpHeader(width, height, 24, 0, static_cast<uint32_t>(stride * height));
  for (int y = height - 1; y >= 0; --y) {
    const uchar* row = rgb.constScanLine(y);
    for (int x = 0; x < width; ++x) {
      b.insert(b.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});  // BGR
    }
    b.insert(b.end(), static_cast<std::size_t>(stride - width * 3), 0);
  }
  writeFile(path, b);
}

void writeJpeg(const std::string& path, const QImage& image, int quality) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot write " + path);

  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);  // errors are fatal (exit) in the standard handler
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
  cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);  // sequential (baseline) Huffman coding
  jpeg_set_quality(&cinfo, quality, TRUE);
  // No chroma subsampling: the key edges stay crisp.
  for (int c = 0; c < cinfo.num_components; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  if (std::fclose(file) != 0) throw std::runtime_error("cannot write " + path);
}
