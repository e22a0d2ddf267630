// On-screen keyboard frames. A frame is 608 x 145: white keys 40 px wide with
// boundaries at x = 79 + 40k, black keys 24 px wide centred on a boundary and
// reaching down to y = 110. Frame k1 has C on the white key spanning 159..199;
// each following frame moves the keyboard one white key to the right.
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <string>

#include "imagefile.h"
#include "pictures.h"

namespace {

constexpr int kWidth = 608;
constexpr int kHeight = 145;
constexpr int kKeyWidth = 40;
constexpr int kBoundary0 = 79;  // left edge of the white key whose letter mark is at x 94
constexpr int kBlackHalfWidth = 12;
constexpr int kBlackBottom = 110;
constexpr int kFeltHeight = 3;

// Letter of the white key with index w (its left edge at kBoundary0 + 40 w)
// in frame `shift` (0 for k1): 0 = A, 1 = B, ... 6 = G.
int letterOf(int w, int shift) { return (((w - shift) % 7) + 7) % 7; }

// A black key sits left of B, D, E, G and A.
bool blackKeyLeftOf(int letter) { return letter != 2 && letter != 5; }

void drawWhiteKey(QPainter& p, int x0) {
  QLinearGradient body(0, kFeltHeight, 0, kHeight);
  body.setColorAt(0.0, QColor(0xf4, 0xf2, 0xec));
  body.setColorAt(0.25, QColor(0xfd, 0xfc, 0xf8));
  body.setColorAt(0.93, QColor(0xfa, 0xf9, 0xf4));
  body.setColorAt(1.0, QColor(0xe2, 0xdf, 0xd6));
  p.fillRect(QRect(x0, kFeltHeight, kKeyWidth, kHeight - kFeltHeight), body);
  // Gap between keys: a dark seam with a highlight on the right-hand key.
  p.fillRect(QRect(x0, kFeltHeight, 1, kHeight - kFeltHeight), QColor(0x70, 0x6e, 0x6a));
  p.fillRect(QRect(x0 + 1, kFeltHeight, 1, kHeight - kFeltHeight), QColor(0xff, 0xff, 0xff));
  p.fillRect(QRect(x0 + kKeyWidth - 1, kFeltHeight, 1, kHeight - kFeltHeight),
             QColor(0xd6, 0xd3, 0xcb));
}

void drawBlackKey(QPainter& p, int centre) {
  const int x0 = centre - kBlackHalfWidth;
  const int w = 2 * kBlackHalfWidth;
  // Soft shadow cast on the white keys to the right and below.
  p.fillRect(QRect(x0 + w, kFeltHeight, 2, kBlackBottom + 1 - kFeltHeight), QColor(0, 0, 0, 28));
  p.fillRect(QRect(x0 + 1, kBlackBottom, w, 2), QColor(0, 0, 0, 40));
  // Body, then the lighter top surface and the sloped front.
  p.fillRect(QRect(x0, 0, w, kBlackBottom), QColor(0x10, 0x10, 0x10));
  QLinearGradient top(0, 0, 0, kBlackBottom - 12);
  top.setColorAt(0.0, QColor(0x22, 0x22, 0x22));
  top.setColorAt(1.0, QColor(0x34, 0x34, 0x34));
  p.fillRect(QRect(x0 + 3, 0, w - 6, kBlackBottom - 12), top);
  QLinearGradient front(0, kBlackBottom - 12, 0, kBlackBottom);
  front.setColorAt(0.0, QColor(0x4a, 0x4a, 0x4a));
  front.setColorAt(1.0, QColor(0x1c, 0x1c, 0x1c));
  p.fillRect(QRect(x0 + 2, kBlackBottom - 12, w - 4, 10), front);
}

QImage frame(int shift) {
  QImage img(kWidth, kHeight, QImage::Format_RGB32);
  img.fill(QColor(0xff, 0xff, 0xff));
  QPainter p(&img);
  const int first = (0 - kBoundary0) / kKeyWidth - 1;
  const int last = (kWidth - kBoundary0) / kKeyWidth + 1;
  for (int w = first; w <= last; ++w) drawWhiteKey(p, kBoundary0 + kKeyWidth * w);
  QLinearGradient felt(0, 0, 0, kFeltHeight);
  felt.setColorAt(0.0, QColor(0x4a, 0x16, 0x16));
  felt.setColorAt(1.0, QColor(0x7a, 0x26, 0x24));
  p.fillRect(QRect(0, 0, kWidth, kFeltHeight), felt);
  for (int w = first; w <= last; ++w) {
    if (blackKeyLeftOf(letterOf(w, shift))) drawBlackKey(p, kBoundary0 + kKeyWidth * w);
  }
  p.end();
  return img;
}

}  // namespace

int writeKeyboardFrames(const std::string& dir) {
  // k1 and k3 are BMP, the others JPEG, as the editor loads them.
  static const char* const kNames[7] = {"k1.bmp", "k2.jpg", "k3.bmp", "k4.jpg",
                                        "k5.jpg", "k6.jpg", "k7.jpg"};
  for (int i = 0; i < 7; ++i) {
    const std::string path = dir + "/" + kNames[i];
    const QImage img = frame(i);
    if (path.ends_with(".bmp")) {
      writeColourBmp(path, img);
    } else {
      writeJpeg(path, img, 95);
    }
  }
  return 7;
}
