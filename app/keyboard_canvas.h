#pragma once

#include <QWidget>

#include "render/keyboard_picture.h"

namespace kelvara {

// The on-screen keyboard (Image2): shows the keyboard picture stretched to
// the control.
class KeyboardCanvas : public QWidget {
 public:
  KeyboardCanvas(const KeyboardPicture& picture, QWidget* parent)
      : QWidget(parent), picture_(picture) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const KeyboardPicture& picture_;
};

}  // namespace kelvara
