#include "render/keyboard_picture.h"

#include <gtest/gtest.h>

#include <QRect>
#include <cstdlib>

namespace kelvara {
namespace {

// The box around the letter ink (anything not white) in the columns x0..x1.
QRect inkIn(const QImage& picture, int x0, int x1) {
  QRect box;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = x0; x <= x1 && x < picture.width(); ++x) {
      if (qGray(picture.pixel(x, y)) < 230) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// The letters are written on a white picture, so that only their ink shows.
TEST(KeyboardPicture, EveryLetterFitsThePictureAndCommaIsNotAFullStop) {
  for (bool major : {true, false}) {
    SCOPED_TRACE(major ? "major" : "minor");
    KeyboardPicture keyboard;
    keyboard.DrawKeyboard(major);
    const QImage& picture = keyboard.image();
    // White-key letters, 40 pixels apart from "z" at 94: each lies wholly
    // inside the picture, with a row of white below it.
    for (int x = 94; x <= 494; x += 40) {
      const QRect ink = inkIn(picture, x - 2, x + 20);
      ASSERT_FALSE(ink.isEmpty()) << x;
      EXPECT_LE(ink.bottom(), KeyboardPicture::kHeight - 2) << x;
      EXPECT_GE(ink.top(), 100) << x;  // on the white part of the key
    }
    const QRect comma = inkIn(picture, 372, 392);
    const QRect stop = inkIn(picture, 412, 432);
    // A comma has a tail below the line the full stop sits on.
    EXPECT_GT(comma.bottom(), stop.bottom());
    EXPECT_GT(comma.height(), stop.height());
  }
}

}  // namespace
}  // namespace kelvara
