#pragma once

#include <QScreen>
#include <QWidget>

namespace kelvara {

// Puts a dialog in the middle of its screen's free area.
inline void centreOnScreen(QWidget& dialog) {
  if (const QScreen* screen = dialog.screen()) {
    const QRect area = screen->availableGeometry();
    dialog.move(area.center() - dialog.rect().center());
  }
}

}  // namespace kelvara
