#include "render/glyph_outlines.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <QFile>
#include <QTransform>
#include <cmath>
#include <cstdlib>
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
constexpr size_t kMaxPictures = 256;
constexpr size_t kMaxFonts = 8;
constexpr long long kMaxPictureSide = 20000;
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

// The words of one line of the outline file, read one by one.
class Words {
 public:
  explicit Words(const std::string& line) : in_(line) {}
  bool next(std::string& word) { return static_cast<bool>(in_ >> word); }
  bool atEnd() {
    std::string more;
    return !(in_ >> more);
  }
  // A finite number written whole ("12abc" is none), within the bounds of
  // any picture.
  bool number(double& value) {
    std::string word;
    if (!next(word)) return false;
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && std::isfinite(value) &&
           std::abs(value) <= kMaxCoordinate;
  }
  bool numbers(double* values, int count) {
    for (int i = 0; i < count; ++i) {
      if (!number(values[i])) return false;
    }
    return true;
  }
  // A whole number from 1 to `max`.
  bool count(long long& value, long long max) {
    double v = 0;
    if (!number(v) || v != std::floor(v) || v < 1 || v > static_cast<double>(max)) return false;
    value = static_cast<long long>(v);
    return true;
  }

 private:
  std::istringstream in_;
};

// A path written as "M x y", "L x y" and "C x1 y1 x2 y2 x y" steps, starting
// with "M". Returns what is wrong with it, empty when nothing.
std::string readPath(Words& in, QPainterPath& path) {
  std::string op;
  size_t points = 0;
  while (in.next(op)) {
    double v[6];
    if (++points > kMaxPathPoints) return uiText("kelvara::Render", "点が多すぎます");
    if (points == 1 && op != "M") return uiText("kelvara::Render", "M で始まりません");
    if (op == "M" && in.numbers(v, 2)) {
      path.moveTo(v[0], v[1]);
    } else if (op == "L" && in.numbers(v, 2)) {
      path.lineTo(v[0], v[1]);
    } else if (op == "C" && in.numbers(v, 6)) {
      path.cubicTo(v[0], v[1], v[2], v[3], v[4], v[5]);
    } else {
      return fillText(uiText("kelvara::Render", "段 %1 が読めません"), {op});
    }
  }
  return points == 0 ? uiText("kelvara::Render", "段がありません") : "";
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
  // The picture whose shapes follow (null outside a picture); one this
  // program does not use has its shapes read and checked, then dropped.
  bool inPicture = false;
  std::string pictureName;
  int pictureLine = 0;
  PictureOutline unused;
  PictureOutline* current = nullptr;
  size_t shapes = 0;
  size_t pictureCount = 0;
  std::istringstream lines(text.toStdString());
  std::string line;
  int lineNo = 0;
  while (std::getline(lines, line)) {
    ++lineNo;
    // What is wrong with the line, empty when nothing.
    const std::string why = [&]() -> std::string {
      Words in(line);
      std::string word;
      if (line.starts_with('#') || !in.next(word)) return {};
      if (word == "font") {
        std::string tag, name;
        if (!in.next(tag) || !in.next(name) || !in.atEnd())
          return uiText("kelvara::Render", "font TAG FILE ではありません");
        if (inPicture) return uiText("kelvara::Render", "絵の中のフォントです");
        if (fonts.count(tag))
          return fillText(uiText("kelvara::Render", "フォント %1 が二度あります"), {tag});
        if (fonts.size() >= kMaxFonts) return uiText("kelvara::Render", "フォントが多すぎます");
        if (name.find('/') != std::string::npos || name.starts_with('.')) {
          return fillText(uiText("kelvara::Render", "フォント %1 はフォルダの外です"), {name});
        }
        QFile fontFile(QString::fromStdString((fs::path(folder) / name).string()));
        if (!fontFile.open(QIODevice::ReadOnly) || fontFile.size() > kMaxFontFileSize) {
          return fillText(uiText("kelvara::Render", "フォント %1 を読めません"), {name});
        }
        auto face = std::make_unique<FontFace>();
        face->file = fontFile.fileName();
        face->bytes = fontFile.read(kMaxFontFileSize);
        if (FT_New_Memory_Face(ft.library,
                               reinterpret_cast<const FT_Byte*>(face->bytes.constData()),
                               static_cast<FT_Long>(face->bytes.size()), 0, &face->face) != 0) {
          face->face = nullptr;
          return fillText(uiText("kelvara::Render", "フォント %1 を読めません"), {name});
        }
        fonts[tag] = std::move(face);
        return {};
      }
      if (word == "picture") {
        long long width = 0, height = 0;
        std::string name;
        if (!in.next(name) || !in.count(width, kMaxPictureSide) ||
            !in.count(height, kMaxPictureSide) || !in.atEnd()) {
          return uiText("kelvara::Render", "picture NAME WIDTH HEIGHT ではありません");
        }
        if (inPicture)
          return fillText(uiText("kelvara::Render", "絵 %1 が end で終わっていません"),
                          {pictureName});
        if (++pictureCount > kMaxPictures) return uiText("kelvara::Render", "絵が多すぎます");
        inPicture = true;
        pictureName = name;
        pictureLine = lineNo;
        shapes = 0;
        unused = {};
        current = &unused;
        for (int i = 0; i < kGlyphCount; ++i) {
          if (name == glyphFileName(static_cast<Glyph>(i))) current = &pictures_[i];
        }
        if (current->present)
          return fillText(uiText("kelvara::Render", "絵 %1 が二度あります"), {name});
        current->present = true;
        return {};
      }
      if (word == "end") {
        if (!in.atEnd()) return uiText("kelvara::Render", "end の後に文字があります");
        if (!inPicture) return uiText("kelvara::Render", "絵の外の end です");
        inPicture = false;
        current = nullptr;
        return {};
      }
      if (word != "rect" && word != "path" && word != "glyph")
        return fillText(uiText("kelvara::Render", "知らない語 %1 です"), {word});
      if (!inPicture) return uiText("kelvara::Render", "絵の外の図形です");
      if (++shapes > kMaxShapesPerPicture) return uiText("kelvara::Render", "絵の図形が多すぎます");
      if (word == "rect") {
        double v[4];
        if (!in.numbers(v, 4) || !in.atEnd())
          return uiText("kelvara::Render", "rect X0 Y0 X1 Y1 ではありません");
        if (v[0] > v[2] || v[1] > v[3]) return uiText("kelvara::Render", "四角の角が逆です");
        current->rects.emplace_back(QPointF(v[0], v[1]), QPointF(v[2], v[3]));
        return {};
      }
      if (word == "path") {
        QPainterPath curve;
        if (std::string bad = readPath(in, curve); !bad.empty())
          return fillText(uiText("kelvara::Render", "path の%1"), {bad});
        current->curves.addPath(curve);
        return {};
      }
      std::string tag;
      long long index = 0;
      double v[4];
      if (!in.next(tag) || !in.count(index, kLastGlyphCharacter - kFirstGlyphCharacter) ||
          !in.numbers(v, 4) || !in.atEnd()) {
        return uiText("kelvara::Render", "glyph FONT INDEX X Y SX SY ではありません");
      }
      if (v[2] <= 0 || v[3] <= 0) return uiText("kelvara::Render", "字の大きさが正ではありません");
      const auto font = fonts.find(tag);
      if (font == fonts.end())
        return fillText(uiText("kelvara::Render", "フォント %1 が先に名指されていません"), {tag});
      if (index >= font->second->face->num_glyphs)
        return uiText("kelvara::Render", "フォントにない字です");
      QPainterPath outline;
      if (!fontOutline(font->second->face, static_cast<FT_UInt>(index), outline)) {
        return uiText("kelvara::Render", "字の形を読めません");
      }
      // Font units, y up, to picture pixels, y down, around the origin.
      PlacedGlyph placed{{v[0], v[1]},       QTransform::fromScale(v[2], -v[3]).map(outline),
                         font->second->file, static_cast<char16_t>(kFirstGlyphCharacter + index),
                         {v[2], v[3]},       font->second->face->units_per_EM};
      placed.outline.setFillRule(Qt::WindingFill);
      current->glyphs.push_back(std::move(placed));
      return {};
    }();
    if (!why.empty())
      return fail(
          fillText(uiText("kelvara::Render", "%1 行目: %2"), {std::to_string(lineNo), why}));
  }
  if (inPicture) {
    return fail(fillText(uiText("kelvara::Render", "%1 行目の絵 %2 が end で終わっていません"),
                         {std::to_string(pictureLine), pictureName}));
  }
  for (int i = 0; i < static_cast<int>(Glyph::Keyboard1); ++i) {
    if (!pictures_[i].present)
      return fail(fillText(uiText("kelvara::Render", "%1 がありません"),
                           {glyphFileName(static_cast<Glyph>(i))}));
  }
  return {};
}

}  // namespace kelvara
