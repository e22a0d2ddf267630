#include "print/score_pages.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <new>
#include <optional>

#include "print/outline_painter.h"
#include "render/glyph_outlines.h"
#include "render/page_renderer.h"
#include "score/bar_math.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

// Where a bar and the clef area lie in the score picture.
constexpr int32_t kBarSourceLeft = 208;
constexpr QRect kLineHeadSource{0, 0, 190, kScoreHeight};

// Page furniture is at least this high on paper, so it can be read.
constexpr double kMinTextMillimetres = 2.5;
// Lines are at least this wide on paper (a hair line, still seen at any zoom).
constexpr double kMinLineMillimetres = 0.08;

// Device pixels of `millimetres` on the painter's device.
double devicePixels(const QPainter& painter, double millimetres) {
  const QPaintDevice* device = painter.device();
  const int dpi = device ? device->logicalDpiY() : 96;
  return millimetres / 25.4 * std::max(1, dpi);
}

// Text of the page furniture, `height` device pixels from top to baseline,
// its top-left corner at `at` (or its top-right corner with `right`).
void drawLabel(QPainter& painter, const QString& text, QPointF at, double height, bool right) {
  const QFont font = pageTextFont(height);
  const QFontMetricsF metrics(font);
  if (right) at.rx() -= metrics.horizontalAdvance(text);
  painter.save();
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QPointF(at.x(), at.y() + metrics.capHeight()), text);
  painter.restore();
}

// Total bar share of a part in 64ths.
int64_t contentLength(const EditorState& s, int part) {
  int64_t total = 0;
  for (const TOnpu* r = firstRecordOf(s.PartHead[part]); !isEndMarker(*r); r = r->Next) {
    total += barContribution(*r);
  }
  return total;
}

// A page drawn as one picture in the score picture's pixels (a staff line
// of the page as high as the staff in the picture), put on the target page
// at one scale both ways and without loss.
class PagePicture {
 public:
  PagePicture(const PageGrid& page, const OutputRequest& request) {
    if (page.staffHeight() <= 0) return;
    scale_ = static_cast<double>(kScoreHeight) / page.staffHeight();
    const auto side = [this](int32_t pixels) {
      return static_cast<int32_t>(std::clamp(std::ceil(pixels * scale_), 1.0, 20000.0));
    };
    grid_.emplace(side(page.width()), side(page.height()), request.barsPerLine,
                  request.linesPerPage);
  }

  // Starts a white page; throws std::bad_alloc when it cannot get its memory.
  void begin(const QPainter& target) {
    if (!grid_) throw std::bad_alloc();
    if (image_.isNull()) {
      image_ = QImage(grid_->width(), grid_->height(), QImage::Format_Grayscale8);
      if (image_.isNull()) throw std::bad_alloc();
      // Text and hair lines are sized by the page's own resolution.
      const QPaintDevice* device = target.device();
      const double dpi = (device ? std::max(1, device->logicalDpiY()) : 96) * scale_;
      const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
      image_.setDotsPerMeterX(dotsPerMetre);
      image_.setDotsPerMeterY(dotsPerMetre);
    }
    image_.fill(Qt::white);
    if (!painter_.begin(&image_)) throw std::bad_alloc();
  }

  QPainter& painter() { return painter_; }
  const PageGrid& grid() const { return *grid_; }

  // Puts the page drawn onto the target's page.
  void end(QPainter& target) {
    painter_.end();
    target.save();
    target.setRenderHint(QPainter::LosslessImageRendering, true);
    target.setRenderHint(QPainter::SmoothPixmapTransform, true);
    target.drawImage(QRectF(0, 0, image_.width() / scale_, image_.height() / scale_), image_);
    target.restore();
  }

 private:
  double scale_ = 1;
  std::optional<PageGrid> grid_;
  QImage image_;
  QPainter painter_;
};

// The glyph set a picture page at `scale` times the picture resolution is
// composed from: that scale's, or the 4x set where the staff is drawn larger
// than the 2x pictures (few lines a page), so glyphs are made smaller, never
// larger. None (the outlines) for other pages or when the set is missing.
const GlyphTable* glyphPictures(const GlyphTable& glyphs, int scale, const PageGrid& grid) {
  if (scale <= 0) return nullptr;
  const double onPage = static_cast<double>(grid.staffHeight()) / kScoreHeight;
  if (scale == 2 && onPage > 2) scale = 4;
  return glyphs.scaled(scale);
}

}  // namespace

int32_t contentBars(const EditorState& s, int part) {
  const int64_t barLen = s.BarLen();
  const int64_t bars = (contentLength(s, part) + barLen - 1) / barLen;
  return static_cast<int32_t>(std::min<int64_t>(bars, INT32_MAX));
}

std::vector<PartPages> planOutput(const EditorState& s, const OutputRequest& request) {
  std::vector<PartPages> plan;
  const int64_t perPage =
      static_cast<int64_t>(std::max(1, request.barsPerLine)) * std::max(1, request.linesPerPage);
  for (int part = 0; part < kPartCount; ++part) {
    if (!request.parts[part]) continue;
    PartPages pages;
    pages.part = part;
    pages.firstBar = std::max(1, request.firstBar);
    const int32_t bars = contentBars(s, part);
    pages.lastBar = request.lastBar < 0 ? bars : std::min(request.lastBar, bars);
    if (pages.lastBar >= pages.firstBar) {
      const int64_t count = static_cast<int64_t>(pages.lastBar) - pages.firstBar + 1;
      pages.pages = static_cast<int32_t>((count + perPage - 1) / perPage);
    }
    plan.push_back(pages);
  }
  return plan;
}

// One output run: its own renderer and picture over the editor state, and
// the state as it was, put back when the run ends however it ends.
class ScorePages::Session {
 public:
  Session(EditorState& s, const GlyphTable& glyphs) : s_(s), kept_(s), renderer_(s, view_, glyphs) {
    s_.Busy = 1;
    renderer_.initPicture();
    renderer_.picture().setLog(&log_);
  }
  ~Session() { static_cast<PageView&>(s_) = kept_; }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Makes `part` the one drawn, one bar a page, from its start.
  void startPart(int part) {
    s_.WorkPart = part;
    s_.BarsPerPage = 1;
    at_ = {firstRecordOf(s_.PartHead[part]), 1, 0};
  }

  // Draws bar `bar` (not before the last one drawn) of the current part as
  // the score view would, and returns where it lies in the picture.
  QRect drawBar(int32_t bar) {
    const int p = s_.WorkPart;
    const int32_t barLen = s_.BarLen();
    // The first record that starts in this bar or later, with its bar position.
    while (at_.bar < bar && !isEndMarker(*at_.node)) {
      advanceBar(at_.bar, at_.fill, barContribution(*at_.node), barLen);
      at_.node = at_.node->Next;
    }
    s_.CurNode[p] = at_.node;
    s_.BarNo[p] = at_.bar;
    s_.BarFill[p] = at_.fill;
    s_.CursorX[p] = kMusicLeft;
    log_.ops.clear();
    log_.incomplete = false;
    drawPage(bar);
    // A bar wider than the picture: widen it and draw the bar again.
    bool widened = false;
    while (renderer_.ChkGakuhu2()) widened = true;
    if (widened) {
      s_.CurNode[p] = at_.node;
      s_.BarNo[p] = at_.bar;
      s_.BarFill[p] = at_.fill;
      s_.CursorX[p] = kMusicLeft;
      log_.ops.clear();
      log_.incomplete = false;
      drawPage(bar);
    }
    // A picture that could not get its memory holds no bar: never put on a page.
    if (renderer_.picture().allocationFailed()) throw std::bad_alloc();
    // The log lacked memory for part of the bar.
    if (log_.incomplete) throw std::bad_alloc();
    const int32_t right = barEndX(bar);
    return {kBarSourceLeft, 0, right - kBarSourceLeft, kScoreHeight};
  }

  const QImage& picture() const { return renderer_.picture().image(); }
  // How the bar drawn last was drawn.
  const DrawingLog& log() const { return log_; }

  // The part of the picture at `source`; throws std::bad_alloc when the copy
  // cannot get its memory (QImage gives a null picture then).
  QImage piece(const QRect& source) const {
    QImage copy = picture().copy(source);
    if (copy.isNull()) throw std::bad_alloc();
    return copy;
  }

 private:
  struct Position {
    TOnpu* node;
    int32_t bar;
    int32_t fill;
  };

  // The page of one bar as the score view draws a page: background, records,
  // then the clef, time and key signature over the area left of the music.
  void drawPage(int32_t bar) {
    renderer_.Draw5sen();
    renderer_.DrawTyou();
    renderer_.drawPageFrom(bar);
    renderer_.DrawTohekigou();
    renderer_.DrawHyoushi();
    renderer_.DrawTyou();
    renderer_.drawLineStartNumber();
  }

  // x just after the closing bar line of `bar` in the picture just drawn,
  // or the end of the content when the part ends inside the bar. A record
  // that runs past the bar line is laid out in pieces that never cross a
  // bar line, so the bar ends after the pieces that fill it.
  int32_t barEndX(int32_t bar) const {
    const int32_t barLen = s_.BarLen();
    int32_t x = s_.PageX;
    int32_t at = s_.PageBar;
    int32_t fill = s_.PageFill;
    int32_t result = s_.EndX;
    for (const TOnpu* r = s_.PageNode; !isEndMarker(*r); r = r->Next) {
      const int32_t share = barContribution(*r);
      int32_t nextBar = at;
      int32_t nextFill = fill;
      advanceBar(nextBar, nextFill, share, barLen);
      if (nextBar <= bar) {
        x += r->Width;
        at = nextBar;
        fill = nextFill;
        continue;
      }
      int32_t cells = 0;
      for (int32_t left = share; left > 0 && at <= bar;) {
        const int32_t size = pieceSize(left, fill, barLen);
        left -= size;
        ++cells;
        advanceBar(at, fill, size, barLen);
      }
      result = x + kCellWidth * cells;
      break;
    }
    return std::clamp(result, kMusicLeft, std::max(kMusicLeft, s_.EndX));
  }

  EditorState& s_;
  const PageView kept_;  // what drawing the pages changes, put back afterwards
  HeadlessScoreView view_;
  PageRenderer renderer_;
  DrawingLog log_;
  Position at_{};
};

ScorePages::ScorePages(EditorState& state, const GlyphTable& glyphs) : s_(state), glyphs_(glyphs) {}

void drawPageNumber(QPainter& painter, const PageGrid& grid, int32_t page) {
  // A quarter of the margin high, and never below what can be read on paper.
  const double height = std::max(grid.margin() / 4.0, devicePixels(painter, kMinTextMillimetres));
  drawLabel(painter, QString::number(page), grid.pageNumberAt(), height, false);
}

void drawPartName(QPainter& painter, const PageGrid& grid, int part) {
  const double height = std::max(grid.margin() / 5.0, devicePixels(painter, kMinTextMillimetres));
  drawLabel(painter, QString::fromStdString(partLabel(part)).trimmed(),
            QPointF(grid.margin(), grid.margin() / 4.0), height, false);
}

QImage ScorePages::barPicture(int part, int32_t bar) {
  Session session(s_, glyphs_);
  session.startPart(part);
  if (bar > 1) session.drawBar(bar - 1);
  const QRect source = session.drawBar(bar);
  return session.piece(source);
}

OutputResult ScorePages::output(const OutputRequest& request, PageTarget& target,
                                OutputProgress* progress) {
  OutputResult result;
  try {
    const std::vector<PartPages> plan = planOutput(s_, request);
    int total = 0;
    for (const PartPages& part : plan) total += part.pages;
    if (progress && !progress->pagesDone(0, total)) {
      result.cancelled = true;
      return result;
    }
    GlyphOutlines outlines;
    // Without the outlines or their fonts the pages are drawn from the
    // glyph pictures instead: each page one picture at one scale both ways.
    const bool vectors = outlines.load(glyphs_.folder()).empty();
    const OutlinePainter shapes(glyphs_, outlines);
    Session session(s_, glyphs_);
    const PageGrid grid(target.pageSize().width(), target.pageSize().height(), request.barsPerLine,
                        request.linesPerPage);
    PagePicture fallback(grid, request);
    const GlyphTable* pictureSet =
        vectors ? glyphPictures(glyphs_, target.glyphScale(), grid) : nullptr;
    for (const PartPages& part : plan) {
      if (!result.ok()) break;
      if (part.pages == 0) continue;
      session.startPart(part.part);
      // Drawing the bar before the range gives a record running into its
      // first bar its width.
      if (part.firstBar > 1) session.drawBar(part.firstBar - 1);
      int32_t bar = part.firstBar;
      for (int32_t page = 1; page <= part.pages; ++page) {
        result.error = target.beginPage(part.part, page);
        if (!result.ok()) break;
        QPainter& targetPainter = target.painter();
        if (!vectors) fallback.begin(targetPainter);
        QPainter& painter = vectors ? targetPainter : fallback.painter();
        const PageGrid& pageGrid = vectors ? grid : fallback.grid();
        OutlinePainter pagePainter = shapes;
        pagePainter.setMinimumLine(std::max(1.0, devicePixels(painter, kMinLineMillimetres)));
        pagePainter.setMinimumTextHeight(devicePixels(painter, kMinTextMillimetres));
        // Pictures get the outlines filled; printers and PDF files the font.
        pagePainter.setGlyphsAsText(painter.device() &&
                                    painter.device()->devType() != QInternal::Image);
        pagePainter.setGlyphsAsPictures(!vectors);
        pagePainter.setGlyphPictures(pictureSet);
        for (int32_t j = 0; j < pageGrid.linesPerPage() && bar <= part.lastBar; ++j) {
          for (int32_t i = 0; i < pageGrid.barsPerLine() && bar <= part.lastBar; ++i, ++bar) {
            QRect source = session.drawBar(bar);
            // Only the first cell of a line shows the bar's opening line; the
            // others have it as the closing line of the cell before.
            if (i > 0) source.setLeft(kMusicLeft);
            pagePainter.draw(painter, session.log(), source, pageGrid.barCell(i, j),
                             OutlinePainter::Spacing::Cells);
            // Standard notation numbers the line by its first bar: its head
            // is that bar's.
            if (i == 0 && s_.StandardNotation) {
              pagePainter.draw(painter, session.log(), kLineHeadSource, pageGrid.lineHead(j),
                               OutlinePainter::Spacing::Pictures);
            }
          }
          if (!s_.StandardNotation) {
            pagePainter.draw(painter, session.log(), kLineHeadSource, pageGrid.lineHead(j),
                             OutlinePainter::Spacing::Pictures);
          }
        }
        if (page == 1) drawPartName(painter, pageGrid, part.part);
        drawPageNumber(painter, pageGrid, page);
        if (!vectors) fallback.end(targetPainter);
        result.error = target.endPage();
        if (!result.ok()) break;
        ++result.pages;
        if (progress && !progress->pagesDone(result.pages, total)) {
          result.cancelled = true;
          break;
        }
      }
      if (!result.ok() || result.cancelled) break;
    }
  } catch (const std::bad_alloc&) {
    result.error = uiText("kelvara::Print", "メモリが足りないため出力できません。");
  }
  std::string finished;
  try {
    finished = target.finish(result.ok());
  } catch (const std::bad_alloc&) {
    finished = uiText("kelvara::Print", "メモリが足りないため出力できません。");
  }
  if (result.ok()) result.error = finished;
  return result;
}

}  // namespace kelvara
