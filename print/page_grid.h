#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>
#include <optional>
#include <string>

namespace kelvara {

// Bounds of the two layout numbers typed in the output dialog. Above them a
// bar cell would be narrower than a pixel on a picture page.
constexpr int32_t kMaxBarsPerLine = 64;
constexpr int32_t kMaxLinesPerPage = 64;

// Content area of an exported picture page and the finished page with its
// two white side margins (A4 at 150 dots per inch).
constexpr int32_t kPictureContentWidth = 1120;
constexpr int32_t kPictureHeight = 1754;
constexpr int32_t kPictureSideMargin = 60;
constexpr int32_t kPictureWidth = kPictureContentWidth + 2 * kPictureSideMargin;
// The resolution of those numbers, and the range a picture may be asked at:
// at another resolution every size scales with it.
constexpr int32_t kPictureDpi = 150;
constexpr int32_t kMinPictureDpi = 50;
constexpr int32_t kMaxPictureDpi = 600;

// Where the bars of one output page go: `barsPerLine` cells on each of
// `linesPerPage` staff lines, a line head (clef area) left of every line and
// the page number at the top right. All in pixels of the target.
class PageGrid {
 public:
  PageGrid(int32_t width, int32_t height, int32_t barsPerLine, int32_t linesPerPage);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int32_t barsPerLine() const { return barsPerLine_; }
  int32_t linesPerPage() const { return linesPerPage_; }
  int32_t barsPerPage() const { return barsPerLine_ * linesPerPage_; }

  // The left margin (and the top one): the width of the line heads.
  int32_t margin() const { return margin_; }
  // Distance between the tops of two staff lines.
  double linePitch() const { return linePitch_; }
  // Height of one staff line on the page.
  int32_t staffHeight() const { return staffHeight_; }
  int32_t cellWidth() const { return cellWidth_; }

  // Cell of bar `i` (0-based) of staff line `j` (0-based).
  QRect barCell(int32_t i, int32_t j) const;
  // The clef area of staff line `j`.
  QRect lineHead(int32_t j) const;
  // Top-left corner of the page number.
  QPoint pageNumberAt() const;

 private:
  int32_t lineTop(int32_t j) const;
  int32_t cellLeft(int32_t i) const;

  int32_t width_;
  int32_t height_;
  int32_t barsPerLine_;
  int32_t linesPerPage_;
  int32_t margin_;
  double linePitch_;
  int32_t staffHeight_;
  int32_t cellWidth_;
};

// The name of one exported page: base + part number in two digits ("01" ..
// "11", the percussion part being "10") + "_" + page number (two digits up to
// 9, then plain) + extension.
std::string pictureFileName(const std::string& base, int part, int32_t page,
                            const std::string& extension);

enum class PictureFormat { Jpeg, Bmp, Png };
// ".bmp" and ".BMP" are bitmaps, ".png" and ".PNG" PNG pictures; every other
// extension gets JPEG data.
PictureFormat pictureFormatFor(const std::string& extension);

// The base name and extension of the name chosen in the save-picture dialog.
// A name without extension gets ".jpg" when the JPEG filter was chosen,
// ".png" for the PNG filter, else ".bmp".
struct PictureName {
  std::string base;
  std::string extension;
};
PictureName splitPictureName(const std::string& chosen, bool jpegFilter, bool pngFilter = false);

// Checks the two layout boxes; an empty result means both are usable,
// otherwise the message to show.
std::string checkLayoutNumbers(const std::optional<int32_t>& barsPerLine,
                               const std::optional<int32_t>& linesPerPage);

}  // namespace kelvara
