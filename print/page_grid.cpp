#include "print/page_grid.h"
#include "score/ui_text.h"

#include <filesystem>

namespace kelvara {

PageGrid::PageGrid(int32_t width, int32_t height, int32_t barsPerLine, int32_t linesPerPage)
    : width_(width),
      height_(height),
      barsPerLine_(barsPerLine < 1 ? 1 : barsPerLine),
      linesPerPage_(linesPerPage < 1 ? 1 : linesPerPage) {
  margin_ = height_ / (3 * linesPerPage_ + 1);
  linePitch_ = static_cast<double>(height_ - margin_) / linesPerPage_;
  staffHeight_ = static_cast<int32_t>(linePitch_ * 0.8);
  cellWidth_ = (width_ - margin_) / barsPerLine_;
}

int32_t PageGrid::lineTop(int32_t j) const {
  return static_cast<int32_t>(linePitch_ * j + margin_);
}

int32_t PageGrid::cellLeft(int32_t i) const {
  return static_cast<int32_t>(static_cast<double>(width_ - margin_) / barsPerLine_ * i + margin_);
}

QRect PageGrid::barCell(int32_t i, int32_t j) const {
  return {cellLeft(i), lineTop(j), cellWidth_, staffHeight_};
}

QRect PageGrid::lineHead(int32_t j) const {
  return {0, lineTop(j), margin_, staffHeight_};
}

QPoint PageGrid::pageNumberAt() const {
  return {static_cast<int32_t>(width_ - margin_ / 2.0), static_cast<int32_t>(margin_ / 4.0)};
}

std::string pictureFileName(const std::string& base, int part, int32_t page,
                            const std::string& extension) {
  const int number = part + 1;
  std::string name = base;
  if (number < 10) name += '0';
  name += std::to_string(number);
  name += '_';
  if (page < 10) name += '0';
  name += std::to_string(page);
  return name + extension;
}

PictureFormat pictureFormatFor(const std::string& extension) {
  if (extension == ".bmp" || extension == ".BMP") return PictureFormat::Bmp;
  if (extension == ".png" || extension == ".PNG") return PictureFormat::Png;
  return PictureFormat::Jpeg;
}

PictureName splitPictureName(const std::string& chosen, bool jpegFilter, bool pngFilter) {
  const std::filesystem::path path(chosen);
  const std::string extension = path.extension().string();
  if (extension.empty() || extension == ".") {
    std::string base = chosen;
    if (extension == ".") base.pop_back();
    return {base, pngFilter ? ".png" : jpegFilter ? ".jpg" : ".bmp"};
  }
  return {chosen.substr(0, chosen.size() - extension.size()), extension};
}

std::string checkLayoutNumbers(const std::optional<int32_t>& barsPerLine,
                               const std::optional<int32_t>& linesPerPage) {
  if (!barsPerLine || *barsPerLine < 1 || *barsPerLine > kMaxBarsPerLine) {
    return fillText(
        uiText("kelvara::Print", "小節数/段は 1 から %1 までの整数で入力してください。"),
        {std::to_string(kMaxBarsPerLine)});
  }
  if (!linesPerPage || *linesPerPage < 1 || *linesPerPage > kMaxLinesPerPage) {
    return fillText(
        uiText("kelvara::Print", "段数/ページは 1 から %1 までの整数で入力してください。"),
        {std::to_string(kMaxLinesPerPage)});
  }
  return {};
}

}  // namespace kelvara
