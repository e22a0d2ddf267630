#include "app/window_layout.h"

#include <algorithm>

namespace kelvara {

QRect anchoredGeometry(const QRect& designed, Anchor anchor, const QSize& window) {
  const int dx = std::max(0, window.width() - kSmallestWindowSize.width());
  const int dy = std::max(0, window.height() - kSmallestWindowSize.height());
  QRect r = designed;
  if (anchor.left) r.setLeft(r.left() + dx);
  if (anchor.right) r.setRight(r.right() + dx);
  if (anchor.top) r.setTop(r.top() + dy);
  if (anchor.bottom) r.setBottom(r.bottom() + dy);
  return r;
}

}  // namespace kelvara
