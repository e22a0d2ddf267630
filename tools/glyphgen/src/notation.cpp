#include <QPainterPath>
#include <QPointF>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>

#include "canvas.h"
#include "imagefile.h"
#include "layout.h"
#include "musicfont.h"
#include "pictures.h"

using namespace layout;

namespace {

class Writer {
 public:
  explicit Writer(std::string dir) : dir_(std::move(dir)) {}
  // The 1x picture as the bitmap `name`; a picture at scale k as a greyscale
  // PNG of the same stem in the folder "kx", the shapes noted once (at 1x).
  void save(const std::string& name, const Canvas& c) {
    if (c.scale() != 1) {
      const std::string stem = name.substr(0, name.rfind('.'));
      writeGreyPng(dir_ + "/" + std::to_string(c.scale()) + "x/" + stem + ".png", c.width(),
                   c.height(), c.toGrey());
      ++count_;
      return;
    }
    writeGreyBmp(dir_ + "/" + name, c.width(), c.height(), c.toGrey());
    outlines_ += "picture " + name + " " + std::to_string(c.width()) + " " +
                 std::to_string(c.height()) + "\n";
    for (const std::string& line : c.recipe()) outlines_ += line + "\n";
    outlines_ += "end\n";
    ++count_;
  }
  int count() const { return count_; }

  // Writes the outline file: every picture's shapes in picture pixels, y
  // down, with the fonts named by their TrueType copies beside the pictures,
  // kelvara-TAG.ttf (regenerate.sh makes them; their glyph indexes are the
  // fonts' own).
  void saveOutlines(const MusicFont& music, const MusicFont& braces) const {
    std::string text =
        "# Shapes of the notation pictures, written by tools/glyphgen: do not edit.\n"
        "# glyph FONT INDEX X Y SX SY: the font's glyph with its origin at (X, Y),\n"
        "# SX and SY pixels a font unit, the font's y axis pointing up.\n";
    for (const MusicFont* font : {&music, &braces}) {
      text += "font " + font->tag() + " kelvara-" + font->tag() + ".ttf\n";
    }
    std::ofstream file(dir_ + "/outlines.txt", std::ios::binary);
    file << text << outlines_;
    if (!file) throw std::runtime_error("cannot write " + dir_ + "/outlines.txt");
  }

 private:
  std::string dir_;
  std::string outlines_;
  int count_ = 0;
};

void drawStaffLines(Canvas& c, double x0, double x1) {
  for (int row : kStaffRows) c.fillRect(x0, row, x1, row + kLineThickness);
}

// ---------------------------------------------------------------- notes

std::string headGlyph(int log) {
  return log == 0 ? "noteheads.s0" : log == 1 ? "noteheads.s1" : "noteheads.s2";
}

// Stem length (head centre to tip) per duration; more flags need more room.
// Stem-up pictures end at the top of the picture, which caps the 64th at 4.4
// spaces. Stem-down flags hang on the same side as the head, so those stems
// are long enough for the flags to stay clear of it.
double stemLength(int log, bool up) {
  switch (log) {
    case 4:
      return 3.75 * kSpace;
    case 5:
      return (up ? 4.25 : 4.5) * kSpace;
    case 6:
      return (up ? 4.4 : 5.25) * kSpace;
    default:
      return 3.5 * kSpace;
  }
}

class NoteDrawer {
 public:
  explicit NoteDrawer(const MusicFont& f) : f_(f) {
    // The black head is fitted to the 20 px head column; every head shares
    // its vertical scale so all heads are equally tall.
    const GlyphBox black = f.box("noteheads.s2");
    headScaleY_ = (kHeadRight - kHeadLeft) / (black.width() * kSpace);
  }

  void head(Canvas& c, int log, double cx, double cy) const {
    const std::string name = headGlyph(log);
    const GlyphBox b = f_.box(name);
    // Black and white heads fill the head column exactly so stems meet their
    // edges. The whole note stays wider but is narrowed from the font's
    // 1.5 head widths to 1.3 so that a displaced neighbour 20 px away in a
    // chord second overlaps it only slightly.
    const double sx = log == 0 ? 1.3 * (kHeadRight - kHeadLeft) / (b.width() * kSpace)
                               : (kHeadRight - kHeadLeft) / (b.width() * kSpace);
    const double ox = cx - (b.left + b.right) / 2 * kSpace * sx;
    f_.draw(c, name, ox, cy, sx, headScaleY_);
  }

  Canvas stemUp(int log) const {
    Canvas c(kNoteWidth, kNoteHeight);
    head(c, log, kHeadCentreX, kUpHeadY);
    if (log >= 1) {
      const double tip = kUpHeadY - stemLength(log, true);
      c.fillRect(kHeadRight - kStemWidth, tip, kHeadRight, kUpHeadY);
      if (log >= 3)
        flag(c, "flags.u" + std::to_string(log), kHeadRight - kStemWidth / 2, tip, kUpHeadY);
    }
    return c;
  }

  Canvas stemDown(int log) const {
    const double tip = kDownHeadY + stemLength(log, false);
    Canvas c(kNoteWidth, std::max(kNoteHeight, static_cast<int>(std::ceil(tip)) + 2));
    head(c, log, kHeadCentreX, kDownHeadY);
    c.fillRect(kHeadLeft, kDownHeadY, kHeadLeft + kStemWidth, tip);
    if (log >= 3)
      flag(c, "flags.d" + std::to_string(log), kHeadLeft + kStemWidth / 2, tip, kDownHeadY);
    return c;
  }

 private:
  // Flags hang from the stem tip on the stem's right; the glyph origin is the
  // stem's centre line. A flag longer than the stem is squeezed so its last
  // hook ends a little past the head centre.
  void flag(Canvas& c, const std::string& name, double stemCentre, double tip, double headY) const {
    const GlyphBox b = f_.box(name);
    const double length = b.height() * kSpace;
    const double room = std::abs(tip - headY) + 0.25 * kSpace;
    const double sy = length > room ? room / length : 1.0;
    f_.draw(c, name, stemCentre, tip, 1.0, sy);
  }

  const MusicFont& f_;
  double headScaleY_;
};

// ---------------------------------------------------------------- rests

Canvas rest(const MusicFont& f, int log) {
  Canvas c(kNoteWidth, 100);
  const std::string name = "rests." + std::to_string(log);
  const GlyphBox b = f.box(name);
  // Rest glyphs have their origin on a staff line: the whole rest hangs from
  // the fourth line, the half rest sits on the middle line, the others are
  // positioned relative to the middle line. The two block rests are snapped
  // to whole pixels so their long edges stay crisp.
  double y = kStaffRows[2] - kRestTop + kLineThickness / 2;
  if (log == 0) y = kStaffRows[1] - kRestTop;
  if (log == 1) y = kStaffRows[2] - kRestTop + kLineThickness;
  const double ox = kHeadCentreX - (b.left + b.right) / 2 * kSpace;
  f.draw(c, name, ox, y);
  return c;
}

// ---------------------------------------------------------------- signs

// Accidentals are drawn smaller than the font's standard size: the sign has
// to fit above its centre inside the picture, and key-signature signs stand
// only 10 px apart, so the sharp is also a little narrower than the font's.
Canvas accidental(const MusicFont& f, const std::string& name, double sx, double sy,
                  double centreY) {
  Canvas c(16, 40);
  const GlyphBox b = f.box(name);
  f.draw(c, name, kAccidentalRight - b.right * kSpace * sx, centreY, sx, sy);
  return c;
}

// Time-signature digit spanning two staff spaces, line centre to line centre.
Canvas digit(const MusicFont& f, const std::string& name) {
  Canvas c(28, 33);
  const GlyphBox b = f.box(name);
  const double scale = 2.0 / 2.0;  // the font's digits are two spaces tall
  const double ox = c.width() / c.scale() / 2.0 - (b.left + b.right) / 2 * kSpace * scale;
  f.draw(c, name, ox, 2 * kSpace + 0.5, scale, scale);
  return c;
}

Canvas ledger() {
  Canvas c(kNoteWidth, 74);
  const int row = static_cast<int>(kUpHeadY);
  c.fillRect(kHeadLeft - 6, row, kHeadRight + 6, row + kLineThickness);
  return c;
}

// Crescent-shaped tie from a to b; bulge > 0 curves down, < 0 curves up.
QPainterPath tiePath(QPointF a, QPointF b, double bulge, double thickness) {
  const double dir = bulge > 0 ? 1.0 : -1.0;
  const double endHalf = 0.35;  // half thickness at the tips
  const double span = b.x() - a.x();
  auto curve = [&](QPainterPath& p, QPointF from, QPointF to, double peak, bool first) {
    // A symmetric cubic reaches 3/4 of its control offset at the middle.
    const double ctrl = peak * 4.0 / 3.0;
    const double inset = span * 0.22;
    const QPointF c1(from.x() + (to.x() > from.x() ? inset : -inset), from.y() + ctrl);
    const QPointF c2(to.x() - (to.x() > from.x() ? inset : -inset), to.y() + ctrl);
    if (first) p.moveTo(from);
    p.cubicTo(c1, c2, to);
  };
  QPainterPath p;
  const QPointF outerA(a.x(), a.y() + dir * endHalf);
  const QPointF outerB(b.x(), b.y() + dir * endHalf);
  const QPointF innerA(a.x(), a.y() - dir * endHalf);
  const QPointF innerB(b.x(), b.y() - dir * endHalf);
  curve(p, outerA, outerB, bulge, true);
  p.lineTo(innerB);
  curve(p, innerB, innerA, bulge - dir * (thickness - 2 * endHalf), false);
  p.closeSubpath();
  return p;
}

Canvas tieBelow() {
  Canvas c(kNoteWidth, 74);
  c.fillPath(tiePath({12.0, 62.5}, {68.0, 62.5}, 7.5, 2.6));
  return c;
}

Canvas tieAbove() {
  Canvas c(kNoteWidth, 28);
  c.fillPath(tiePath({12.0, 19.0}, {68.0, 19.0}, -9.0, 2.6));
  return c;
}

Canvas staccato() {
  Canvas c(20, 12);
  QPainterPath p;
  p.addEllipse(QPointF(10.0, 5.5), 2.75, 2.75);
  c.fillPath(p);
  return c;
}

// ---------------------------------------------------------------- staff

Canvas staffTile(int width) {
  Canvas c(width, kScoreHeight);
  drawStaffLines(c, 0, width);
  return c;
}

Canvas barTile() {
  Canvas c(kBarTileWidth, kScoreHeight);
  drawStaffLines(c, 0, kBarTileWidth);
  c.fillRect(kBarTileWidth - 2, kTrebleTop, kBarTileWidth, kBassBottom + kLineThickness);
  return c;
}

std::string closestBrace(const MusicFont& braces, double heightPx) {
  std::string best;
  double bestDiff = std::numeric_limits<double>::max();
  for (int i = 0;; ++i) {
    const std::string name = "brace" + std::to_string(i);
    if (!braces.has(name)) break;
    const double diff = std::abs(braces.box(name).height() * kSpace - heightPx);
    if (diff < bestDiff) {
      bestDiff = diff;
      best = name;
    }
  }
  if (best.empty()) throw std::runtime_error("brace font has no brace glyphs");
  return best;
}

Canvas clefArea(const MusicFont& f, const MusicFont& braces) {
  Canvas c(kClefAreaWidth, kScoreHeight);
  constexpr double kSystemLine = 16.0;
  const double top = kTrebleTop;
  const double bottom = kBassBottom + kLineThickness;
  drawStaffLines(c, kSystemLine, kClefAreaWidth);
  c.fillRect(kSystemLine, top, kSystemLine + kStemWidth, bottom);

  // The brace reaches a little beyond the outer staff lines.
  const std::string brace = closestBrace(braces, bottom - top + 0.3 * kSpace);
  const GlyphBox bb = braces.box(brace);
  braces.draw(c, brace, kSystemLine - 3.0 - bb.right * kSpace,
              (top + bottom) / 2 + (bb.top + bb.bottom) / 2 * kSpace);

  constexpr double kClefLeft = 26.0;
  const GlyphBox g = f.box("clefs.G");
  f.draw(c, "clefs.G", kClefLeft - g.left * kSpace, kTrebleG4 + kLineThickness / 2);
  const GlyphBox fb = f.box("clefs.F");
  f.draw(c, "clefs.F", kClefLeft - fb.left * kSpace, kBassF3 + kLineThickness / 2);
  return c;
}

}  // namespace

int writeNotationPictures(const MusicFont& music, const MusicFont& braces, const std::string& dir,
                          int scale) {
  Canvas::setScale(scale);
  if (scale != 1) std::filesystem::create_directories(dir + "/" + std::to_string(scale) + "x");
  Writer out(dir);
  const NoteDrawer notes(music);

  for (int log = 0; log <= 6; ++log) {
    const std::string value = std::to_string(1 << log);
    out.save(value + "bu.bmp", notes.stemUp(log));
    if (log >= 1) out.save(value + "bu_u.bmp", notes.stemDown(log));
    out.save(value + "q.bmp", rest(music, log));
  }
  Canvas black(kNoteWidth, kNoteHeight);
  notes.head(black, 2, kHeadCentreX, kUpHeadY);
  out.save("kuro.bmp", black);
  Canvas white(kNoteWidth, kNoteHeight);
  notes.head(white, 1, kHeadCentreX, kUpHeadY);
  out.save("siro.bmp", white);
  out.save("sen.bmp", ledger());

  out.save("s.bmp", accidental(music, "accidentals.sharp", 0.62, 0.72, kAccidentalY));
  out.save("n.bmp", accidental(music, "accidentals.natural", 0.72, 0.72, kAccidentalY));
  out.save("f.bmp", accidental(music, "accidentals.flat", 0.73, 0.73, kFlatY));

  static const char* const kDigits[][2] = {{"2", "two"}, {"3", "three"}, {"4", "four"},
                                           {"6", "six"}, {"8", "eight"}, {"9", "nine"}};
  for (const auto& d : kDigits) out.save(std::string(d[0]) + ".bmp", digit(music, d[1]));

  out.save("tai.bmp", tieBelow());
  out.save("tai_u.bmp", tieAbove());
  out.save("st.bmp", staccato());

  out.save("5sen.bmp", staffTile(kCellWidth));
  out.save("5sen3.bmp", barTile());
  out.save("page.bmp", staffTile(kPageWidth));
  out.save("tohe.bmp", clefArea(music, braces));
  if (scale == 1) out.saveOutlines(music, braces);
  Canvas::setScale(1);
  return out.count();
}
