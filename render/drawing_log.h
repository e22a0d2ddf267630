#pragma once

#include <QRect>
#include <cstdint>
#include <vector>

namespace kelvara {

// What was drawn into a score picture, in order, so that the same drawing can
// be repeated as vectors at another size: a printed page draws from it
// instead of copying pixels.
struct DrawOp {
  enum class Kind { Blit, Line, Number, Erase };
  enum class Align { Right, Centre };  // of a number in its box
  Kind kind = Kind::Blit;
  qint64 glyph = 0;  // Blit: the cache key of the glyph picture
  QRect area;        // Blit: the part of the glyph put, in picture pixels; Erase: what went white
  int32_t x = 0;     // Blit: where the glyph's top-left corner went; Line, Number: the start
  int32_t y = 0;
  int32_t x1 = 0;  // Line: the end point (both ends inked)
  int32_t y1 = 0;
  int32_t value = 0;  // Number
  bool copy = false;  // Blit: the glyph replaced what was there (white included)
  bool cut = false;   // Blit: only the shapes' parts inside `area` are drawn
  Align align = Align::Right;
};

struct DrawingLog {
  std::vector<DrawOp> ops;
  // Set when the memory for a call was lacking: the log no longer holds the
  // whole drawing, until the picture is started again.
  bool incomplete = false;

  // Which calls can still be seen: a later glyph put by copy (or an erase)
  // hides whatever lay wholly under it. Erases are never seen.
  std::vector<bool> shown() const;
  // Drops the calls that can no longer be seen once the log has grown to
  // twice what it held after the last time, so a log kept over the
  // editor's own picture stays about as long as one page's drawing.
  void compactIfLarge();

 private:
  size_t compactAt_ = 4096;
};

}  // namespace kelvara
