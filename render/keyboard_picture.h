#pragma once

#include <QImage>

namespace kelvara {

// The on-screen keyboard picture (608 x 145): the current keyboard frame,
// the computer-key letters written on it, and the marks of pressed keys.
class KeyboardPicture {
 public:
  static constexpr int kWidth = 608;
  static constexpr int kHeight = 145;

  KeyboardPicture();

  // Draws a keyboard frame at (0, 0).
  void showFrame(const QImage& frame);
  // Writes the key letters of the major or minor arrangement in grey, each on
  // a white ground.
  void DrawKeyboard(bool major);
  // Toggles the mark of a pressed key: a rounded box around the letter at
  // (markX, markY), hatched in teal with the self-inverting pen.
  void toggleKeyMark(int markX, int markY);

  const QImage& image() const { return image_; }

 private:
  QImage image_;
};

}  // namespace kelvara
