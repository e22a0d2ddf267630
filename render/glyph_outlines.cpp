#include "render/glyph_outlines.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <QFile>
#include <QTransform>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "score/ui_text.h"

namespace kelvara {

namespace {

// The generator writes a few kilobytes; anything far larger is not its file.
constexpr qint64 kMaxOutlineFileSize = 1 << 20;
constexpr qint64 kMaxFontFileSize = 8 << 20;
constexpr size_t kMaxShapesPerPicture = 1000;
constexpr size_t kMaxPathPoints = 10000;
constexpr double kMaxCoordinate = 100000.0;

struct FreeTypeLibrary {
  FT_Library library = nullptr;
  ~FreeTypeLibrary() {
    if (library) FT_Done_FreeType(library);
  }
};

struct FontFace {
  FT_Face face = nullptr;
  QString file;
  QByteArray bytes;  // FreeType reads the font from here while the face lives
  ~FontFace() {
    if (face) FT_Done_Face(face);
  }
};

// The outline of `glyph` in font units, y up.
bool fontOutline(FT_Face face, FT_UInt glyph, QPainterPath& path) {
  if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
    return false;
  }
  FT_Outline_Funcs funcs{};
  funcs.move_to = [](const FT_Vector* to, void* user) {
    auto* p = static_cast<QPainterPath*>(user);
    if (p->elementCount() > 0) p->closeSubpath();
    p->moveTo(to->x, to->y);
    return 0;
  };
  funcs.line_to = [](const FT_Vector* to, void* user) {
    static_cast<QPainterPath*>(user)->lineTo(to->x, to->y);
    return 0;
  };
  funcs.conic_to = [](const FT_Vector* c, const FT_Vector* to, void* user) {
    static_cast<QPainterPath*>(user)->quadTo(c->x, c->y, to->x, to->y);
    return 0;
  };
  funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    static_cast<QPainterPath*>(user)->cubicTo(c1->x, c1->y, c2->x, c2->y, to->x, to->y);
    return 0;
  };
  path = QPainterPath();
  path.setFillRule(Qt::WindingFill);
  if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &path) != 0) return false;
  if (path.elementCount() > 0) path.closeSubpath();
  return true;
}

bool readNumbers(std::istringstream& in, double* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (!(in >> values[i]) || !std::isfinite(values[i]) || std::abs(values[i]) > kMaxCoordinate) {
      return false;
    }
  }
  return true;
}

// A path written as "M x y", "L x y" and "C x1 y1 x2 y2 x y" steps.
bool readPath(std::istringstream& in, QPainterPath& path) {
  std::string op;
  size_t points = 0;
  while (in >> op) {
    double v[6];
    if (++points > kMaxPathPoints) return false;
    if (op == "M" && readNumbers(in, v, 2)) {
      path.moveTo(v[0], v[1]);
    } else if (op == "L" && readNumbers(in, v, 2)) {
      path.lineTo(v[0], v[1]);
    } else if (op == "C" && readNumbers(in, v, 6)) {
      path.cubicTo(v[0], v[1], v[2], v[3], v[4], v[5]);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string GlyphOutlines::load(const std::string& folder) {
  namespace fs = std::filesystem;
  const std::string path = (fs::path(folder) / "outlines.txt").string();
  auto fail = [&](const std::string& why) {
    pictures_ = {};
    return fillText(uiText("kelvara::Render", "図形ファイル %1 を読めません（%2）。"), {path, why});
  };
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return fail(uiText("kelvara::Render", "開けません"));
  if (file.size() > kMaxOutlineFileSize) return fail(uiText("kelvara::Render", "大きすぎます"));
  const QByteArray text = file.read(kMaxOutlineFileSize + 1);
  if (text.size() > kMaxOutlineFileSize) return fail(uiText("kelvara::Render", "大きすぎます"));

  FreeTypeLibrary ft;
  if (FT_Init_FreeType(&ft.library) != 0)
    return fail(uiText("kelvara::Render", "FreeType を使えません"));
  std::map<std::string, std::unique_ptr<FontFace>> fonts;
  pictures_ = {};
  PictureOutline* current = nullptr;
  size_t shapes = 0;
  std::istringstream lines(text.toStdString());
  std::string line;
  int lineNo = 0;
  while (std::getline(lines, line)) {
    ++lineNo;
    auto where = [&] {
      return fillText(uiText("kelvara::Render", "%1 行目"), {std::to_string(lineNo)});
    };
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string word;
    in >> word;
    if (word == "font") {
      std::string tag, name;
      if (!(in >> tag >> name) || name.find('/') != std::string::npos || name.starts_with('.')) {
        return fail(where());
      }
      QFile fontFile(QString::fromStdString((fs::path(folder) / name).string()));
      if (!fontFile.open(QIODevice::ReadOnly) || fontFile.size() > kMaxFontFileSize) {
        return fail(fillText(uiText("kelvara::Render", "フォント %1"), {name}));
      }
      auto face = std::make_unique<FontFace>();
      face->file = fontFile.fileName();
      face->bytes = fontFile.read(kMaxFontFileSize);
      if (FT_New_Memory_Face(ft.library, reinterpret_cast<const FT_Byte*>(face->bytes.constData()),
                             static_cast<FT_Long>(face->bytes.size()), 0, &face->face) != 0) {
        face->face = nullptr;
        return fail(fillText(uiText("kelvara::Render", "フォント %1"), {name}));
      }
      fonts[tag] = std::move(face);
    } else if (word == "picture") {
      std::string name;
      in >> name;
      current = nullptr;
      shapes = 0;
      for (int i = 0; i < kGlyphCount; ++i) {
        if (name == glyphFileName(static_cast<Glyph>(i))) current = &pictures_[i];
      }
      if (current) current->present = true;
    } else if (word == "end") {
      current = nullptr;
    } else if (word == "rect" || word == "path" || word == "glyph") {
      if (++shapes > kMaxShapesPerPicture) return fail(where());
      if (!current) continue;  // a picture this program does not use
      if (word == "rect") {
        double v[4];
        if (!readNumbers(in, v, 4)) return fail(where());
        current->rects.emplace_back(QPointF(v[0], v[1]), QPointF(v[2], v[3]));
      } else if (word == "path") {
        QPainterPath curve;
        if (!readPath(in, curve)) return fail(where());
        current->curves.addPath(curve);
      } else {
        std::string tag;
        long long index = 0;
        double v[4];
        if (!(in >> tag >> index) || !readNumbers(in, v, 4)) return fail(where());
        const auto font = fonts.find(tag);
        if (font == fonts.end() || index <= 0 || index >= font->second->face->num_glyphs ||
            index > kLastGlyphCharacter - kFirstGlyphCharacter) {
          return fail(where());
        }
        QPainterPath outline;
        if (!fontOutline(font->second->face, static_cast<FT_UInt>(index), outline)) {
          return fail(where());
        }
        // Font units, y up, to picture pixels, y down, around the origin.
        PlacedGlyph placed{{v[0], v[1]},       QTransform::fromScale(v[2], -v[3]).map(outline),
                           font->second->file, static_cast<char16_t>(kFirstGlyphCharacter + index),
                           {v[2], v[3]},       font->second->face->units_per_EM};
        placed.outline.setFillRule(Qt::WindingFill);
        current->glyphs.push_back(std::move(placed));
      }
    } else {
      return fail(where());
    }
  }
  for (int i = 0; i < static_cast<int>(Glyph::Keyboard1); ++i) {
    if (!pictures_[i].present)
      return fail(fillText(uiText("kelvara::Render", "%1 がありません"),
                           {glyphFileName(static_cast<Glyph>(i))}));
  }
  return {};
}

}  // namespace kelvara
