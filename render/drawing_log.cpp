#include "render/drawing_log.h"

#include <algorithm>

#include "render/score_picture.h"

namespace kelvara {

namespace {

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
  std::vector<QRect> covers;
  for (size_t i = ops.size(); i-- > 0;) {
    const DrawOp& op = ops[i];
    const QRect r = reach(op);
    for (const QRect& c : covers) {
      if (c.contains(r)) {
        result[i] = false;
        break;
      }
    }
    if (op.kind == DrawOp::Kind::Erase) result[i] = false;
    if (op.kind == DrawOp::Kind::Erase || (op.kind == DrawOp::Kind::Blit && op.copy)) {
      // A copy of a glyph hides what lay under the glyph's whole picture.
      covers.push_back(op.area);
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
