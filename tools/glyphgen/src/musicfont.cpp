#include "musicfont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "canvas.h"

struct MusicFont::Impl {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
};

MusicFont::MusicFont(const std::string& path, const std::string& tag, double unitsPerSpace,
                     double pixelsPerSpace)
    : impl_(new Impl),
      tag_(tag),
      path_(path),
      unitsPerSpace_(unitsPerSpace),
      pixelsPerSpace_(pixelsPerSpace) {
  if (FT_Init_FreeType(&impl_->library) != 0) {
    delete impl_;
    throw std::runtime_error("cannot initialise FreeType");
  }
  if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0) {
    FT_Done_FreeType(impl_->library);
    delete impl_;
    throw std::runtime_error("cannot open font " + path);
  }
  if (!FT_HAS_GLYPH_NAMES(impl_->face)) {
    FT_Done_Face(impl_->face);
    FT_Done_FreeType(impl_->library);
    delete impl_;
    throw std::runtime_error("font has no glyph names: " + path);
  }
}

MusicFont::~MusicFont() {
  FT_Done_Face(impl_->face);
  FT_Done_FreeType(impl_->library);
  delete impl_;
}

bool MusicFont::has(const std::string& name) const {
  return FT_Get_Name_Index(impl_->face, name.c_str()) != 0;
}

unsigned MusicFont::index(const std::string& name) const {
  const FT_UInt glyph = FT_Get_Name_Index(impl_->face, name.c_str());
  if (glyph == 0) throw std::runtime_error("glyph not in font: " + name);
  return glyph;
}

void MusicFont::load(unsigned glyph) const {
  if (FT_Load_Glyph(impl_->face, glyph,
                    FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
      impl_->face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
    throw std::runtime_error("cannot load glyph outline");
  }
}

GlyphBox MusicFont::box(const std::string& name) const {
  load(index(name));
  FT_BBox b;
  FT_Outline_Get_BBox(&impl_->face->glyph->outline, &b);
  return {b.xMin / unitsPerSpace_, b.xMax / unitsPerSpace_, b.yMin / unitsPerSpace_,
          b.yMax / unitsPerSpace_};
}

namespace {

struct SpanTarget {
  Canvas* canvas;
};

void renderSpans(int y, int count, const FT_Span* spans, void* user) {
  auto* target = static_cast<SpanTarget*>(user);
  // The rasteriser counts rows upwards from the canvas bottom.
  const int row = target->canvas->height() - 1 - y;
  for (int i = 0; i < count; ++i) {
    const float coverage = static_cast<float>(spans[i].coverage) / 255.0f;
    for (int x = spans[i].x; x < spans[i].x + spans[i].len; ++x) {
      target->canvas->addInk(x, row, coverage);
    }
  }
}

FT_Fixed toFixed(double v) {
  return static_cast<FT_Fixed>(std::lround(v * 65536.0));
}

}  // namespace

void MusicFont::draw(Canvas& canvas, const std::string& name, double ox, double oy, double sx,
                     double sy) const {
  const unsigned glyph = index(name);
  load(glyph);
  // The same placement for the vector pages: font units to pixels, y up.
  const double perUnit = pixelsPerSpace_ / unitsPerSpace_;
  char line[160];
  std::snprintf(line, sizeof line, "glyph %s %u %.6g %.6g %.6g %.6g", tag_.c_str(), glyph, ox, oy,
                perUnit * sx, perUnit * sy);
  canvas.note(line);
  FT_Outline* outline = &impl_->face->glyph->outline;

  // Font units -> 26.6 pixels, y still pointing up; then move the origin to
  // (ox, oy) measured from the canvas bottom.
  // At a canvas scale of k everything is k times larger, around the top-left.
  const double k = pixelsPerSpace_ / unitsPerSpace_ * 64.0 * canvas.scale();
  FT_Matrix m{toFixed(k * sx), 0, 0, toFixed(k * sy)};
  FT_Outline_Transform(outline, &m);
  FT_Outline_Translate(outline, std::lround(ox * canvas.scale() * 64.0),
                       std::lround((canvas.height() - oy * canvas.scale()) * 64.0));

  SpanTarget target{&canvas};
  FT_Raster_Params params{};
  params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
  params.gray_spans = renderSpans;
  params.user = &target;
  params.clip_box = {0, 0, canvas.width(), canvas.height()};
  if (FT_Outline_Render(impl_->library, outline, &params) != 0) {
    throw std::runtime_error("cannot render glyph " + name);
  }
}
