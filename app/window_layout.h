#pragma once

#include <QRect>
#include <QSize>

namespace kelvara {

// The editor window's smallest size: the size its controls are laid out for.
constexpr QSize kSmallestWindowSize(777, 560);

// How a control follows the window when the window is larger than its
// smallest size: which of its edges keep their distance to the window's
// right and bottom edges instead of its left and top edges.
struct Anchor {
  bool right = false;   // the right edge follows the window's right edge
  bool bottom = false;  // the bottom edge follows the window's bottom edge
  bool left = false;    // the left edge follows too (the control moves)
  bool top = false;     // the top edge follows too (the control moves)
};

// Stays where it is.
constexpr Anchor kStays{};
// Grows with the window in both directions.
constexpr Anchor kGrows{true, true, false, false};
// Grows downwards only.
constexpr Anchor kGrowsDown{false, true, false, false};
// Keeps its place to the right edge and grows downwards.
constexpr Anchor kRightGrowsDown{true, true, true, false};
// Keeps its size and its place to the bottom edge.
constexpr Anchor kBottom{false, true, false, true};
// Keeps its size and its place to the bottom and right edges.
constexpr Anchor kBottomRight{true, true, true, true};

// Where a control laid out at `designed` in the smallest window goes in a
// window of size `window` (never smaller than the smallest size).
QRect anchoredGeometry(const QRect& designed, Anchor anchor, const QSize& window);

}  // namespace kelvara
