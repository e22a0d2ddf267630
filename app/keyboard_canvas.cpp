#include "app/keyboard_canvas.h"

#include <QPainter>

namespace kelvara {

void KeyboardCanvas::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawImage(rect(), picture_.image());
}

}  // namespace kelvara
