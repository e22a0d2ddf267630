#pragma once

#include <QImage>
#include <cstddef>
#include <functional>
#include <string>

namespace kelvara {

// Decodes a JPEG file with libjpeg. Returns an error naming the file, empty
// on success; `image` is RGB32 (greyscale files included).
std::string decodeJpeg(const std::string& path, QImage& image);

// Takes the next piece of an encoded file; false when it cannot be kept.
using JpegSink = std::function<bool(const unsigned char* data, size_t size)>;

// Encodes a picture as JPEG with the library's default settings; a greyscale
// picture (Format_Grayscale8) gives a one-component greyscale JPEG. The file
// goes to `sink` piece by piece as it is made, with no copy of the whole.
// Returns an error text, empty on success.
std::string encodeJpeg(const QImage& image, const JpegSink& sink);

}  // namespace kelvara
