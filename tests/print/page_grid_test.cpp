#include <gtest/gtest.h>

#include "print/page_grid.h"
#include "score/editor_state.h"
#include "score/whole_number.h"

namespace kelvara {
namespace {

TEST(PageGrid, PicturePageAtThreeBarsAndFiveLines) {
  const PageGrid grid(kPictureContentWidth, kPictureHeight, 3, 5);
  EXPECT_EQ(grid.margin(), 109);  // 1754 / 16
  EXPECT_DOUBLE_EQ(grid.linePitch(), 329.0);
  EXPECT_EQ(grid.staffHeight(), 263);
  EXPECT_EQ(grid.cellWidth(), 337);
  EXPECT_EQ(grid.barCell(0, 0), QRect(109, 109, 337, 263));
  EXPECT_EQ(grid.barCell(1, 0).left(), 446);
  EXPECT_EQ(grid.barCell(2, 4), QRect(783, 1425, 337, 263));
  EXPECT_EQ(grid.lineHead(2), QRect(0, 767, 109, 263));
  EXPECT_EQ(grid.pageNumberAt(), QPoint(1065, 27));
}

TEST(PageGrid, FractionalPitchAndCellsAreCutPerPosition) {
  // 4 lines: margin 1754 / 13 = 134, pitch 405; 7 bars: (1120 - 134) / 7 = 140.857...
  const PageGrid grid(kPictureContentWidth, kPictureHeight, 7, 4);
  EXPECT_EQ(grid.margin(), 134);
  EXPECT_EQ(grid.cellWidth(), 140);
  EXPECT_EQ(grid.barCell(6, 3), QRect(979, 1349, 140, 324));
  // The last cell ends inside the page.
  EXPECT_LE(grid.barCell(6, 3).right(), kPictureContentWidth - 1);
  EXPECT_LE(grid.barCell(6, 3).bottom(), kPictureHeight - 1);
}

TEST(PictureFiles, NamesCarryPartAndPageNumbers) {
  EXPECT_EQ(pictureFileName("score", 0, 1, ".jpg"), "score01_01.jpg");
  EXPECT_EQ(pictureFileName("score", 0, 2, ".jpg"), "score01_02.jpg");
  EXPECT_EQ(pictureFileName("score", 8, 9, ".jpg"), "score09_09.jpg");
  // The percussion part (index 9) is "10", the tenth melodic part (index 10) "11".
  EXPECT_EQ(pictureFileName("score", kPercussionPart, 1, ".jpg"), "score10_01.jpg");
  EXPECT_EQ(pictureFileName("score", 10, 10, ".jpg"), "score11_10.jpg");
  EXPECT_EQ(pictureFileName("/tmp/a b/out", 0, 123, ".BMP"), "/tmp/a b/out01_123.BMP");
}

TEST(PictureFiles, ExtensionChoosesTheFormat) {
  EXPECT_EQ(pictureFormatFor(".bmp"), PictureFormat::Bmp);
  EXPECT_EQ(pictureFormatFor(".BMP"), PictureFormat::Bmp);
  EXPECT_EQ(pictureFormatFor(".Bmp"), PictureFormat::Jpeg);
  EXPECT_EQ(pictureFormatFor(".jpg"), PictureFormat::Jpeg);
  EXPECT_EQ(pictureFormatFor(".jpeg"), PictureFormat::Jpeg);
  EXPECT_EQ(pictureFormatFor(".png"), PictureFormat::Png);
  EXPECT_EQ(pictureFormatFor(".gif"), PictureFormat::Jpeg);
}

TEST(PictureFiles, ChosenNameSplitsIntoBaseAndExtension) {
  const PictureName plain = splitPictureName("/home/u/score", true);
  EXPECT_EQ(plain.base, "/home/u/score");
  EXPECT_EQ(plain.extension, ".jpg");
  EXPECT_EQ(splitPictureName("/home/u/score", false).extension, ".bmp");
  EXPECT_EQ(splitPictureName("/home/u/score", false, true).extension, ".png");
  const PictureName bmp = splitPictureName("/home/u/out.BMP", true);
  EXPECT_EQ(bmp.base, "/home/u/out");
  EXPECT_EQ(bmp.extension, ".BMP");
  EXPECT_EQ(splitPictureName("/home/u/out.png", false).extension, ".png");
  // A dot in a folder name is no extension.
  const PictureName folder = splitPictureName("/home/u.v/score", true);
  EXPECT_EQ(folder.base, "/home/u.v/score");
  EXPECT_EQ(folder.extension, ".jpg");
}

TEST(LayoutNumbers, OnlyWholeNumbersInRangeAreTaken) {
  EXPECT_EQ(parseWholeNumber("3"), 3);
  EXPECT_EQ(parseWholeNumber(" 12 "), 12);
  EXPECT_EQ(parseWholeNumber("+4"), 4);
  EXPECT_EQ(parseWholeNumber("-1"), -1);
  EXPECT_EQ(parseWholeNumber(""), std::nullopt);
  EXPECT_EQ(parseWholeNumber("2.5"), std::nullopt);
  EXPECT_EQ(parseWholeNumber("3a"), std::nullopt);
  EXPECT_EQ(parseWholeNumber("99999999999"), std::nullopt);

  EXPECT_TRUE(checkLayoutNumbers(3, 5).empty());
  EXPECT_TRUE(checkLayoutNumbers(1, kMaxLinesPerPage).empty());
  EXPECT_FALSE(checkLayoutNumbers(0, 5).empty());
  EXPECT_FALSE(checkLayoutNumbers(3, 0).empty());
  EXPECT_FALSE(checkLayoutNumbers(-2, 5).empty());
  EXPECT_FALSE(checkLayoutNumbers(kMaxBarsPerLine + 1, 5).empty());
  EXPECT_FALSE(checkLayoutNumbers(std::nullopt, 5).empty());
}

}  // namespace
}  // namespace kelvara
