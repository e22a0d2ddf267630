#include "render/jpeg_codec.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

// libjpeg's header needs FILE and size_t declared first.
#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include "score/ui_text.h"

namespace kelvara {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return;
// the default one ends the process. Ours jumps back to the caller.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

// Everything that must survive a longjmp lives in plain storage owned by the
// caller; the functions below hold no objects with destructors between the
// setjmp and the calls that may jump.
bool decodeInto(FILE* file, jpeg_decompress_struct& info, ErrorManager& errors, QImage& image) {
  if (setjmp(errors.jump) != 0) return false;
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB888);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return true;
}

// The compressed file goes to a sink through one buffer of this size.
constexpr size_t kSinkPiece = size_t{1} << 16;

struct SinkDestination {
  jpeg_destination_mgr base;
  const JpegSink* sink;
  unsigned char* piece;
};

void startPiece(j_compress_ptr info) {
  auto* to = reinterpret_cast<SinkDestination*>(info->dest);
  to->base.next_output_byte = to->piece;
  to->base.free_in_buffer = kSinkPiece;
}

boolean passFullPiece(j_compress_ptr info) {
  auto* to = reinterpret_cast<SinkDestination*>(info->dest);
  if (!(*to->sink)(to->piece, kSinkPiece)) ERREXIT(info, JERR_FILE_WRITE);
  startPiece(info);
  return TRUE;
}

void passLastPiece(j_compress_ptr info) {
  auto* to = reinterpret_cast<SinkDestination*>(info->dest);
  const size_t used = kSinkPiece - to->base.free_in_buffer;
  if (used > 0 && !(*to->sink)(to->piece, used)) ERREXIT(info, JERR_FILE_WRITE);
}

bool encodeInto(const QImage& rgb, jpeg_compress_struct& info, ErrorManager& errors,
                SinkDestination& destination) {
  if (setjmp(errors.jump) != 0) return false;
  jpeg_create_compress(&info);
  destination.base.init_destination = startPiece;
  destination.base.empty_output_buffer = passFullPiece;
  destination.base.term_destination = passLastPiece;
  info.dest = &destination.base;
  info.image_width = static_cast<JDIMENSION>(rgb.width());
  info.image_height = static_cast<JDIMENSION>(rgb.height());
  const bool grey = rgb.format() == QImage::Format_Grayscale8;
  info.input_components = grey ? 1 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    auto row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

}  // namespace

std::string decodeJpeg(const std::string& path, QImage& image) {
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    const std::string reason = std::strerror(errno);
    return fillText(uiText("kelvara::Render", "絵のファイル %1 を開けません（%2）。"),
                    {path, reason});
  }
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = onError;
  QImage decoded;
  const bool ok = decodeInto(file.get(), info, errors, decoded);
  jpeg_destroy_decompress(&info);
  if (!ok) {
    return fillText(uiText("kelvara::Render", "JPEG ファイル %1 を読み込めません（%2）。"),
                    {path, errors.message});
  }
  image = decoded.convertToFormat(QImage::Format_RGB32);
  return {};
}

std::string encodeJpeg(const QImage& image, const JpegSink& sink) {
  // Greyscale pictures stay one component a pixel.
  const QImage rgb = image.format() == QImage::Format_Grayscale8
                         ? image
                         : image.convertToFormat(QImage::Format_RGB888);
  jpeg_compress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = onError;
  std::vector<unsigned char> piece(kSinkPiece);
  SinkDestination destination{{}, &sink, piece.data()};
  const bool ok = encodeInto(rgb, info, errors, destination);
  jpeg_destroy_compress(&info);
  if (!ok) {
    return fillText(uiText("kelvara::Render", "JPEG に変換できません（%1）。"), {errors.message});
  }
  return {};
}

}  // namespace kelvara
