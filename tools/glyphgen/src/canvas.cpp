#include "canvas.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
int currentScale = 1;
}  // namespace

Canvas::Canvas(int width, int height)
    : scale_(currentScale),
      width_(width * currentScale),
      height_(height * currentScale),
      ink_(static_cast<std::size_t>(width_) * height_, 0.0f) {}

void Canvas::setScale(int scale) {
  currentScale = scale;
}

void Canvas::addInk(int x, int y, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  float& v = ink_[static_cast<std::size_t>(y) * width_ + x];
  v = std::max(v, std::clamp(coverage, 0.0f, 1.0f));
}

void Canvas::fillRect(double x0, double y0, double x1, double y1) {
  if (x1 <= x0 || y1 <= y0) return;
  char line[128];
  std::snprintf(line, sizeof line, "rect %.6g %.6g %.6g %.6g", x0, y0, x1, y1);
  note(line);
  x0 *= scale_;
  y0 *= scale_;
  x1 *= scale_;
  y1 *= scale_;
  const int c0 = std::max(0, static_cast<int>(std::floor(x0)));
  const int c1 = std::min(width_ - 1, static_cast<int>(std::ceil(x1)) - 1);
  const int r0 = std::max(0, static_cast<int>(std::floor(y0)));
  const int r1 = std::min(height_ - 1, static_cast<int>(std::ceil(y1)) - 1);
  for (int r = r0; r <= r1; ++r) {
    const double cy = std::min<double>(r + 1, y1) - std::max<double>(r, y0);
    for (int c = c0; c <= c1; ++c) {
      const double cx = std::min<double>(c + 1, x1) - std::max<double>(c, x0);
      addInk(c, r, static_cast<float>(cx * cy));
    }
  }
}

void Canvas::fillPath(const QPainterPath& path) {
  std::string line = "path";
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    const char* op = e.type == QPainterPath::MoveToElement    ? "M "
                     : e.type == QPainterPath::LineToElement  ? "L "
                     : e.type == QPainterPath::CurveToElement ? "C "
                                                              : "";
    char point[80];
    std::snprintf(point, sizeof point, " %s%.6g %.6g", op, e.x, e.y);
    line.append(point);
  }
  note(line);
  QImage layer(width_, height_, QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  {
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    if (scale_ != 1) p.scale(scale_, scale_);
    p.drawPath(path);
  }
  for (int y = 0; y < height_; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
    for (int x = 0; x < width_; ++x) {
      const int a = qAlpha(line[x]);
      if (a != 0) addInk(x, y, static_cast<float>(a) / 255.0f);
    }
  }
}

std::vector<uint8_t> Canvas::toGrey() const {
  std::vector<uint8_t> out(ink_.size());
  for (size_t i = 0; i < ink_.size(); ++i) {
    out[i] = static_cast<uint8_t>(std::lround(255.0 * (1.0 - ink_[i])));
  }
  return out;
}
