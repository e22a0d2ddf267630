// Writers for the picture formats the editor loads: 8-bit greyscale BMP
// (256-entry grey palette), 24-bit BMP and baseline JPEG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QImage;

// grey: width * height bytes, top row first.
void writeGreyBmp(const std::string& path, int width, int height, const std::vector<uint8_t>& grey);
// 8-bit greyscale PNG at zlib's strongest level.
void writeGreyPng(const std::string& path, int width, int height, const std::vector<uint8_t>& grey);
void writeColourBmp(const std::string& path, const QImage& image);
void writeJpeg(const std::string& path, const QImage& image, int quality);
