#include "render/keyboard_picture.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <array>

namespace kelvara {

namespace {

struct Letter {
  const char* text;
  int x;
};

constexpr int kWhiteRowY = 130;
constexpr int kBlackRowY = 80;
constexpr std::array<Letter, 11> kWhiteRow = {{{"z", 94},
                                               {"x", 134},
                                               {"c", 174},
                                               {"v", 214},
                                               {"b", 254},
                                               {"n", 294},
                                               {"m", 332},
                                               {",", 374},
                                               {".", 414},
                                               {"/", 454},
                                               {"\\", 494}}};
constexpr std::array<Letter, 9> kMajorBlackRow = {{{"a", 75},
                                                   {"s", 115},
                                                   {"f", 195},
                                                   {"g", 235},
                                                   {"j", 319},
                                                   {"k", 355},
                                                   {"l", 397},
                                                   {":", 477},
                                                   {"]", 515}}};
constexpr std::array<Letter, 8> kMinorBlackRow = {{{"s", 115},
                                                   {"d", 155},
                                                   {"f", 195},
                                                   {"h", 275},
                                                   {"j", 319},
                                                   {"l", 397},
                                                   {";", 437},
                                                   {":", 477}}};

constexpr QRgb kLetterColour = 0x808080;
constexpr int kLetterPixels = 17;
constexpr QRgb kMarkColour = 0x008080;  // teal

}  // namespace

KeyboardPicture::KeyboardPicture() : image_(kWidth, kHeight, QImage::Format_RGB32) {
  image_.fill(Qt::white);
}

void KeyboardPicture::showFrame(const QImage& frame) {
  if (frame.isNull()) return;
  QPainter painter(&image_);
  painter.drawImage(0, 0, frame);
}

void KeyboardPicture::DrawKeyboard(bool major) {
  QPainter painter(&image_);
  QFont font = painter.font();
  // Large and bold enough that a comma's tail tells it from a full stop.
  font.setPixelSize(kLetterPixels);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(QColor(kLetterColour));
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::white);
  const QFontMetrics metrics(font);
  auto write = [&](const Letter& letter, int y) {
    // The letter's top-left corner is at (x, y), as text is placed on the
    // picture, but never so low that the bottom of the picture cuts off a
    // descender (the white-key row at y 130 is 15 pixels above the edge).
    const int baseline = std::min(y + metrics.ascent(), kHeight - 2 - metrics.descent());
    painter.drawText(letter.x, baseline, QString::fromLatin1(letter.text));
  };
  for (const Letter& l : kWhiteRow) write(l, kWhiteRowY);
  if (major) {
    for (const Letter& l : kMajorBlackRow) write(l, kBlackRowY);
  } else {
    for (const Letter& l : kMinorBlackRow) write(l, kBlackRowY);
  }
}

void KeyboardPicture::toggleKeyMark(int markX, int markY) {
  QPainter painter(&image_);
  painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
  painter.setPen(QColor(kMarkColour));
  painter.setBrush(QBrush(QColor(kMarkColour), Qt::DiagCrossPattern));
  painter.drawRoundedRect(QRect(QPoint(markX - 5, markY - 1), QPoint(markX + 14, markY + 24)), 2.5,
                          2.5);
}

}  // namespace kelvara
