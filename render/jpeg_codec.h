#pragma once

#include <QImage>
#include <string>
#include <vector>

namespace kelvara {

// Decodes a JPEG file with libjpeg. Returns an error naming the file, empty
// on success; `image` is RGB32 (greyscale files included).
std::string decodeJpeg(const std::string& path, QImage& image);

// Encodes a picture as JPEG with the library's default settings; a greyscale
// picture (Format_Grayscale8) gives a one-component greyscale JPEG.
// Returns an error text, empty on success.
std::string encodeJpeg(const QImage& image, std::vector<unsigned char>& bytes);

}  // namespace kelvara
