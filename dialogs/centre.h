#pragma once

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace kelvara {

// Puts a dialog in the middle of the window it belongs to (its parent's
// window, when that is shown), else in the middle of its screen, and keeps it
// inside the screen's free area.
inline void centreOverWindow(QWidget& dialog) {
  const QScreen* screen = dialog.screen();
  const QWidget* owner =
      dialog.parentWidget() != nullptr ? dialog.parentWidget()->window() : nullptr;
  QRect over;
  if (owner != nullptr && owner->isVisible()) {
    over = owner->frameGeometry();
  } else if (screen != nullptr) {
    over = screen->availableGeometry();
  } else {
    return;
  }
  QPoint topLeft = over.center() - dialog.rect().center();
  if (screen != nullptr) {
    const QRect area = screen->availableGeometry();
    topLeft.setX(
        std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - dialog.width())));
    topLeft.setY(
        std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() - dialog.height())));
  }
  dialog.move(topLeft);
}

}  // namespace kelvara
