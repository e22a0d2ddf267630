#include "render/drawing_log.h"

#include <algorithm>

#include "render/score_picture.h"

namespace kelvara {

namespace {

// Width of the columns copies are filed under: a cell of the score.
constexpr int32_t kColumn = 70;

// The pixels a drawing call inked at most.
QRect reach(const DrawOp& op) {
  switch (op.kind) {
    case DrawOp::Kind::Line:
      return QRect(QPoint(std::min(op.x, op.x1), std::min(op.y, op.y1)),
                   QPoint(std::max(op.x, op.x1), std::max(op.y, op.y1)));
    case DrawOp::Kind::Number:
      return QRect(op.x, op.y, ScorePicture::numberWidth(op.value), 9);
    default:
      return op.area;
  }
}

}  // namespace

std::vector<bool> DrawingLog::shown() const {
  std::vector<bool> result(ops.size(), true);
  // The later copies by the column of cells they reach into: a copy that
  // holds a call wholly holds its left edge, so only the copies reaching
  // that edge's column are asked.
  int32_t right = 0;
  for (const DrawOp& op : ops) right = std::max(right, reach(op).right());
  const auto column = [](int32_t x) { return static_cast<size_t>(std::max(0, x) / kColumn); };
  std::vector<std::vector<QRect>> covers(column(right) + 1);
  for (size_t i = ops.size(); i-- > 0;) {
    const DrawOp& op = ops[i];
    const QRect r = reach(op);
    for (const QRect& c : covers[column(r.left())]) {
      if (c.contains(r)) {
        result[i] = false;
        break;
      }
    }
    if (op.kind == DrawOp::Kind::Erase) result[i] = false;
    if (op.kind == DrawOp::Kind::Erase || (op.kind == DrawOp::Kind::Blit && op.copy)) {
      // A copy of a glyph hides what lay under the glyph's whole picture.
      const QRect c = op.area.intersected(QRect(0, INT32_MIN / 2, right + 1, INT32_MAX));
      if (c.isEmpty()) continue;
      for (size_t k = column(c.left()); k <= column(c.right()); ++k) covers[k].push_back(c);
    }
  }
  return result;
}

void DrawingLog::compactIfLarge() {
  if (ops.size() < compactAt_) return;
  const std::vector<bool> keep = shown();
  size_t kept = 0;
  for (size_t i = 0; i < ops.size(); ++i) {
    if (keep[i]) ops[kept++] = ops[i];
  }
  ops.resize(kept);
  compactAt_ = std::max<size_t>(4096, 2 * kept);
}

}  // namespace kelvara
