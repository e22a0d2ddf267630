#pragma once

#include <QImage>
#include <string>

#include "print/page_bytes.h"

namespace kelvara {

// Writers of finished greyscale pages, made for large pages that are mostly
// white: each writes the file's bytes into `bytes` with one allocation or
// few (none when `bytes` already holds as much), and returns an error
// message, empty on success. The page's dots per
// metre go into the file.

// An 8-bit bitmap with the 256 greys as its palette, rows bottom up.
std::string encodeGreyBmp(const QImage& page, PageBytes& bytes);
// An 8-bit greyscale PNG: each row filtered by the row above and deflated
// at zlib's fastest level, run lengths only, which white pages need.
std::string encodeGreyPng(const QImage& page, PageBytes& bytes);

}  // namespace kelvara
