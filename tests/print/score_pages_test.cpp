#include <unistd.h>

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <deque>
#include <filesystem>

#include "files/atomic_write.h"
#include "print/outline_painter.h"
#include "print/picture_pages.h"
#include "print/score_pages.h"
#include "print_fixture.h"
#include "render/jpeg_codec.h"

namespace kelvara {
namespace {

using testing::inkIn;
using testing::sourceGlyphs;
namespace fs = std::filesystem;

// Pages kept in memory; a page may be made to fail.
class MemoryPages : public PageTarget {
 public:
  struct Page {
    int part;
    int page;
    QImage image;
  };

  QSize pageSize() const override { return {kPictureContentWidth, kPictureHeight}; }
  std::string beginPage(int part, int page) override {
    pages.push_back({part, page, QImage(pageSize(), QImage::Format_RGB32)});
    pages.back().image.fill(Qt::white);
    painter_.begin(&pages.back().image);
    return {};
  }
  QPainter& painter() override { return painter_; }
  std::string endPage() override {
    painter_.end();
    if (static_cast<int>(pages.size()) == failOnPage) return "page failed";
    return {};
  }
  std::string finish(bool) override {
    ++finished;
    return {};
  }

  std::deque<Page> pages;
  int failOnPage = 0;
  int finished = 0;

 private:
  QPainter painter_;
};

class StopAfter : public OutputProgress {
 public:
  explicit StopAfter(int pages) : pages_(pages) {}
  bool pagesDone(int done, int total) override {
    calls.emplace_back(done, total);
    return done < pages_;
  }
  std::vector<std::pair<int, int>> calls;

 private:
  int pages_;
};

class ScorePagesTest : public testing::PrintTest {
 protected:
  OutputRequest request(std::initializer_list<int> parts, int32_t first = 1, int32_t last = -1) {
    OutputRequest r;
    for (int p : parts) r.parts[p] = 1;
    r.firstBar = first;
    r.lastBar = last;
    return r;
  }
  const PageGrid grid{kPictureContentWidth, kPictureHeight, 3, 5};
};

TEST_F(ScorePagesTest, TwentyBarsFillAPageOfFifteenAndOneOfFive) {
  quarterBars(0, 20);
  EXPECT_EQ(contentBars(s, 0), 20);
  MemoryPages target;
  ScorePages pages(s, sourceGlyphs());
  const OutputResult result = pages.output(request({0}), target);
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.pages, 2);
  ASSERT_EQ(target.pages.size(), 2u);
  EXPECT_EQ(target.finished, 1);
  const QImage& first = target.pages[0].image;
  const QImage& second = target.pages[1].image;
  for (int j = 0; j < 5; ++j) {
    for (int i = 0; i < 3; ++i) EXPECT_GT(inkIn(first, grid.barCell(i, j)), 1000) << i << "," << j;
    EXPECT_GT(inkIn(first, grid.lineHead(j)), 1000);
  }
  // The second page: two full lines, nothing below.
  EXPECT_GT(inkIn(second, grid.barCell(2, 0)), 1000);
  EXPECT_GT(inkIn(second, grid.barCell(1, 1)), 1000);
  EXPECT_EQ(inkIn(second, grid.barCell(2, 1)), 0);
  EXPECT_EQ(inkIn(second, grid.lineHead(2)), 0);
  EXPECT_EQ(inkIn(second, QRect(0, grid.barCell(0, 2).top(), kPictureContentWidth,
                                kPictureHeight - grid.barCell(0, 2).top())),
            0);
  // Page numbers at the top right.
  EXPECT_GT(inkIn(first, QRect(grid.pageNumberAt(), QSize(60, 40))), 0);
}

TEST_F(ScorePagesTest, RangeFiveToEightPutsThreeBarsOnTheFirstLineAndOneOnTheSecond) {
  quarterBars(0, 12);
  const std::vector<PartPages> plan = planOutput(s, request({0}, 5, 8));
  ASSERT_EQ(plan.size(), 1u);
  EXPECT_EQ(plan[0].firstBar, 5);
  EXPECT_EQ(plan[0].lastBar, 8);
  EXPECT_EQ(plan[0].pages, 1);

  MemoryPages target;
  ScorePages(s, sourceGlyphs()).output(request({0}, 5, 8), target);
  ASSERT_EQ(target.pages.size(), 1u);
  const QImage& page = target.pages[0].image;
  // A line's first cell holds the bar asked for: the same as that bar output
  // alone, where it is the first cell of the page.
  for (const auto& [bar, cell] : {std::pair{5, grid.barCell(0, 0)}, {8, grid.barCell(0, 1)}}) {
    MemoryPages alone;
    ScorePages(s, sourceGlyphs()).output(request({0}, bar, bar), alone);
    ASSERT_EQ(alone.pages.size(), 1u);
    EXPECT_EQ(page.copy(cell), alone.pages[0].image.copy(grid.barCell(0, 0))) << "bar " << bar;
  }
  for (int i = 1; i < 3; ++i) EXPECT_GT(inkIn(page, grid.barCell(i, 0)), 1000) << i;
  EXPECT_EQ(inkIn(page, grid.barCell(1, 1)), 0);
}

// The box around the dark pixels (below 128) of `area` in `picture`, leaving
// out rows dark across most of the area (staff lines).
QRect darkBox(const QImage& picture, const QRect& area) {
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int dark = 0;
    for (int x = area.left(); x <= area.right(); ++x) dark += qGray(picture.pixel(x, y)) < 128;
    if (dark == 0 || dark > area.width() * 8 / 10) continue;
    for (int x = area.left(); x <= area.right(); ++x) {
      if (qGray(picture.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// Heads keep the glyph's shape however wide the cell: a whole note's head on
// a page with one bar a line is as wide for its height as in its picture.
TEST_F(ScorePagesTest, HeadsKeepTheGlyphsAspectRatio) {
  add(0, 71, 64);
  for (const int bars : {1, 4}) {
    SCOPED_TRACE(bars);
    MemoryPages target;
    OutputRequest r = request({0});
    r.barsPerLine = bars;
    r.linesPerPage = 1;
    ASSERT_TRUE(ScorePages(s, sourceGlyphs()).output(r, target).ok());
    const PageGrid wide(kPictureContentWidth, kPictureHeight, bars, 1);
    const QRect cell = wide.barCell(0, 0);
    // The music of the cell inside its bar lines, below the bar number.
    const QRect head =
        darkBox(target.pages.at(0).image,
                QRect(cell.left() + cell.width() / 10, cell.top() + cell.height() / 4,
                      cell.width() * 8 / 10, cell.height() / 2));
    const QImage& glyph = sourceGlyphs()[Glyph::Note1];
    const QRect shape = darkBox(glyph, glyph.rect());
    ASSERT_FALSE(head.isEmpty());
    const double onPage = static_cast<double>(head.width()) / head.height();
    const double inGlyph = static_cast<double>(shape.width()) / shape.height();
    EXPECT_NEAR(onPage / inGlyph, 1.0, 0.05) << head.width() << "x" << head.height();
  }
}

// The editor's picture drawn again from its log at twice the size (as on a
// screen of two device pixels a pixel), its glyphs from their outlines or
// from the 2x pictures, is the same page: scaled back down it matches the
// picture but for the edges of the ink.
TEST_F(ScorePagesTest, TheScorePicturesLogDrawsTheSamePageAtTwiceTheSize) {
  DrawingLog log;
  renderer.picture().setLog(&log);
  renderer.initPicture();
  quarterBars(0, 3);
  TOnpu* chord = add(0, 74, 48);
  chord->Pitch[1] = 70;
  chord->LastIndex = 1;
  add(0, 0, 8);
  add(0, 49, 72);  // tied over the bar line
  showPart(0);
  GlyphOutlines outlines;
  ASSERT_EQ(outlines.load(SOURCE_DIR "/onpu"), "");
  const QImage& picture = renderer.picture().image();
  for (const bool pictures : {false, true}) {
    SCOPED_TRACE(pictures);
    QImage twice(picture.size() * 2, QImage::Format_RGB32);
    twice.setDevicePixelRatio(2);
    twice.fill(Qt::white);
    QPainter painter(&twice);
    OutlinePainter shapes(sourceGlyphs(), outlines);
    if (pictures) shapes.setGlyphPictures(sourceGlyphs().scaled(2));
    shapes.draw(painter, log, picture.rect(), QRectF(picture.rect()),
                OutlinePainter::Spacing::Pictures);
    painter.end();
    twice.setDevicePixelRatio(1);
    const QImage back =
        twice.scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int far = 0;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        far += std::abs(qGray(back.pixel(x, y)) - qGray(picture.pixel(x, y))) > 128;
      }
    }
    EXPECT_LT(far, picture.width() * picture.height() / 500);
  }
  renderer.picture().setLog(nullptr);
}

TEST_F(ScorePagesTest, EqualFirstAndLastBarOutputsThatBar) {
  quarterBars(0, 6);
  MemoryPages target;
  const OutputResult result = ScorePages(s, sourceGlyphs()).output(request({0}, 4, 4), target);
  EXPECT_EQ(result.pages, 1);
  ASSERT_EQ(target.pages.size(), 1u);
  EXPECT_GT(inkIn(target.pages[0].image, grid.barCell(0, 0)), 1000);
  EXPECT_EQ(inkIn(target.pages[0].image, grid.barCell(1, 0)), 0);
}

TEST_F(ScorePagesTest, NothingToOutputGivesNoPages) {
  quarterBars(0, 6);
  MemoryPages target;
  ScorePages pages(s, sourceGlyphs());
  EXPECT_EQ(pages.output(request({}), target).pages, 0);         // no part chosen
  EXPECT_EQ(pages.output(request({1}), target).pages, 0);        // an empty part
  EXPECT_EQ(pages.output(request({0}, 8, 5), target).pages, 0);  // last bar before the first
  EXPECT_EQ(pages.output(request({0}, 7, 9), target).pages, 0);  // after the content
  EXPECT_TRUE(target.pages.empty());
}

TEST_F(ScorePagesTest, EachPartStartsOnItsOwnPagesNumberedFromOne) {
  quarterBars(0, 16);
  quarterBars(kPercussionPart, 2, 36);
  quarterBars(10, 1);
  MemoryPages target;
  ScorePages(s, sourceGlyphs()).output(request({0, kPercussionPart, 10}), target);
  ASSERT_EQ(target.pages.size(), 4u);
  EXPECT_EQ(target.pages[0].part, 0);
  EXPECT_EQ(target.pages[1].part, 0);
  EXPECT_EQ(target.pages[1].page, 2);
  EXPECT_EQ(target.pages[2].part, kPercussionPart);
  EXPECT_EQ(target.pages[2].page, 1);
  EXPECT_EQ(target.pages[3].part, 10);
  EXPECT_EQ(target.pages[3].page, 1);
}

TEST_F(ScorePagesTest, BarsAreCutAtTheirClosingBarLine) {
  quarterBars(0, 1);
  add(0, 64, 16);  // an incomplete second bar of one quarter
  ScorePages pages(s, sourceGlyphs());
  // Four quarter cells, up to and including the bar line at their right edge.
  EXPECT_EQ(pages.barPicture(0, 1).width(), kMusicLeft + 4 * kCellWidth - 208);
  // The incomplete last bar ends at the end of the content.
  EXPECT_EQ(contentBars(s, 0), 2);
  EXPECT_EQ(pages.barPicture(0, 2).width(), kMusicLeft + kCellWidth - 208);
}

TEST_F(ScorePagesTest, ABarInsideALongNoteIsDrawnAsItsPart) {
  // Regression: a bar in which no record starts (a whole note in 2/4 covers
  // two bars) could not be reached through the cursor.
  s.TimeNum = 2;
  s.TimeDen = 4;
  add(0, 60, 16);
  add(0, 62, 16);
  add(0, 64, 64);
  add(0, 65, 32);
  EXPECT_EQ(contentBars(s, 0), 4);
  ScorePages pages(s, sourceGlyphs());
  EXPECT_EQ(pages.barPicture(0, 1).width(), kMusicLeft + 2 * kCellWidth - 208);
  EXPECT_EQ(pages.barPicture(0, 2).width(), kMusicLeft + kCellWidth - 208);
  EXPECT_EQ(pages.barPicture(0, 4).width(), kMusicLeft + kCellWidth - 208);
  // Bar 3 holds only the rest of the whole note; where the renderer puts it
  // is its own business, but it is drawn.
  const QImage inside = pages.barPicture(0, 3);
  EXPECT_GT(inkIn(inside, inside.rect()), 100);
  MemoryPages target;
  const OutputResult result = pages.output(request({0}), target);
  EXPECT_EQ(result.pages, 1);
}

TEST_F(ScorePagesTest, WideBarsGetAWiderPicture) {
  // A bar of 32 64th notes is far wider than the page picture.
  for (int k = 0; k < 64; ++k) add(0, 60 + k % 12, 1);
  ScorePages pages(s, sourceGlyphs());
  const QImage bar = pages.barPicture(0, 1);
  EXPECT_EQ(bar.width(), kMusicLeft + 64 * kCellWidth - 208);
  // The last cells were drawn, not left blank by a too narrow picture.
  EXPECT_GT(inkIn(bar, QRect(bar.width() - kCellWidth, 0, kCellWidth, kScoreHeight)), 100);
}

// Everything the output must leave as it was.
struct EditorSnapshot {
  EditorSnapshot(const EditorState& s, const QImage& picture)
      : workPart(s.WorkPart),
        barsPerPage(s.BarsPerPage),
        curNode(s.CurNode),
        cursorX(s.CursorX),
        barNo(s.BarNo),
        barFill(s.BarFill),
        accState(s.AccState),
        pageFirstBar(s.PageFirstBar),
        pageNode(s.PageNode),
        pageX(s.PageX),
        endX(s.EndX),
        pageEndNode(s.PageEndNode),
        cursorOff(s.CursorOff),
        busy(s.Busy),
        picture(picture.copy()) {}
  bool operator==(const EditorSnapshot&) const = default;

  int32_t workPart, barsPerPage;
  PerPart<TOnpu*> curNode;
  PerPart<int32_t> cursorX, barNo, barFill;
  std::array<int32_t, kLetters> accState;
  int32_t pageFirstBar;
  TOnpu* pageNode;
  int32_t pageX, endX;
  PerPart<TOnpu*> pageEndNode;
  uint8_t cursorOff, busy;
  QImage picture;
};

class RestoreAfterOutput : public ScorePagesTest {
 protected:
  RestoreAfterOutput() {
    quarterBars(0, 40);
    quarterBars(3, 30, 48);
    quarterBars(kPercussionPart, 5, 36);
    for (int p : {0, 3, kPercussionPart}) showPart(p);
    // The work part is part 4 with its cursor in bar 23, mid-bar, and the
    // page of bars 17 to 32 shown.
    s.WorkPart = 3;
    TOnpu* r = firstRecordOf(s.PartHead[3]);
    s.CursorX[3] = kMusicLeft;
    for (int k = 0; k < 22 * 4 + 2 && !isEndMarker(*r); ++k) r = r->Next;
    s.CurNode[3] = r;
    s.BarNo[3] = 23;
    s.BarFill[3] = 32;
    renderer.PageDraw();
    s.CursorOff = 0;  // the cursor mark is on the view
  }
  EditorSnapshot snapshot() const { return EditorSnapshot(s, renderer.picture().image()); }
};

TEST_F(RestoreAfterOutput, StateAndViewAreAsBefore) {
  ASSERT_EQ(s.PageFirstBar, 17);
  const EditorSnapshot before = snapshot();
  const int shown = view.showCount();
  MemoryPages target;
  const OutputResult result =
      ScorePages(s, sourceGlyphs()).output(request({0, 3, kPercussionPart}), target);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.pages, 3 + 2 + 1);
  EXPECT_TRUE(snapshot() == before);
  EXPECT_EQ(view.showCount(), shown);  // the view was not redrawn behind the user's back
}

TEST_F(RestoreAfterOutput, AlsoAfterAFailedWrite) {
  const EditorSnapshot before = snapshot();
  const fs::path folder =
      fs::temp_directory_path() / ("kelvara-print-fail-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  int writes = 0;
  PicturePages target((folder / "out").string(), ".bmp",
                      [&](const std::string& path, std::span<const uint8_t> bytes) -> std::string {
                        if (++writes == 3)
                          return "ファイル " + path + " を書き込めません（ディスクが一杯です）。";
                        return writeFileAtomically(path, bytes);
                      });
  const OutputResult result = ScorePages(s, sourceGlyphs()).output(request({0, 3}), target);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("out01_03.bmp"), std::string::npos) << result.error;
  EXPECT_EQ(result.pages, 2);
  EXPECT_TRUE(snapshot() == before);
  // The two pages written are whole pictures; nothing else was left behind.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"out01_01.bmp", "out01_02.bmp"}));
  const QImage page(QString::fromStdString((folder / "out01_02.bmp").string()));
  EXPECT_EQ(page.size(), QSize(kPictureWidth, kPictureHeight));
  fs::remove_all(folder);
}

TEST_F(RestoreAfterOutput, AlsoAfterACancel) {
  const EditorSnapshot before = snapshot();
  MemoryPages target;
  StopAfter progress(2);
  const OutputResult result =
      ScorePages(s, sourceGlyphs()).output(request({0, 3}), target, &progress);
  EXPECT_TRUE(result.ok());
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(result.pages, 2);
  EXPECT_EQ(target.pages.size(), 2u);
  EXPECT_EQ(target.finished, 1);
  EXPECT_EQ(progress.calls.front(), std::make_pair(0, 5));
  EXPECT_TRUE(snapshot() == before);
}

class PictureExport : public ScorePagesTest {
 protected:
  PictureExport() {
    folder = fs::temp_directory_path() /
             ("kelvara-print-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  ~PictureExport() override { fs::remove_all(folder); }

  std::vector<std::string> exportAs(const std::string& chosen, bool jpegFilter,
                                    const OutputRequest& r) {
    const PictureName name = splitPictureName((folder / chosen).string(), jpegFilter);
    PicturePages target(name.base, name.extension);
    const OutputResult result = ScorePages(s, sourceGlyphs()).output(r, target);
    EXPECT_TRUE(result.ok()) << result.error;
    std::vector<std::string> names;
    for (const std::string& file : target.written()) {
      names.push_back(fs::path(file).filename().string());
    }
    return names;
  }
  QByteArray head(const std::string& name) const {
    QFile file(QString::fromStdString((folder / name).string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.read(2);
  }

  fs::path folder;
};

TEST_F(PictureExport, JpegFilterWithoutExtensionNamesFilesByPartAndPage) {
  quarterBars(0, 16);
  quarterBars(kPercussionPart, 1, 36);
  EXPECT_EQ(exportAs("score", true, request({0, kPercussionPart})),
            (std::vector<std::string>{"score01_01.jpg", "score01_02.jpg", "score10_01.jpg"}));
  EXPECT_EQ(head("score01_01.jpg"), QByteArray("\xFF\xD8", 2));
  QImage decoded;
  ASSERT_EQ(decodeJpeg((folder / "score10_01.jpg").string(), decoded), "");
  EXPECT_EQ(decoded.size(), QSize(kPictureWidth, kPictureHeight));
}

TEST_F(PictureExport, BitmapsForBmpInEitherCaseAndJpegForOtherExtensions) {
  quarterBars(0, 2);
  EXPECT_EQ(exportAs("out.bmp", true, request({0})), std::vector<std::string>{"out01_01.bmp"});
  EXPECT_EQ(head("out01_01.bmp"), QByteArray("BM"));
  EXPECT_EQ(exportAs("up.BMP", true, request({0})), std::vector<std::string>{"up01_01.BMP"});
  EXPECT_EQ(head("up01_01.BMP"), QByteArray("BM"));
  EXPECT_EQ(exportAs("pic.png", false, request({0})), std::vector<std::string>{"pic01_01.png"});
  EXPECT_EQ(head("pic01_01.png"), QByteArray("\x89P"));
  EXPECT_EQ(exportAs("plain", false, request({0})), std::vector<std::string>{"plain01_01.bmp"});
}

TEST_F(PictureExport, PageTenIsNumberedTenAndNineIsZeroNine) {
  quarterBars(0, 10);
  OutputRequest r = request({0});
  r.barsPerLine = 1;
  r.linesPerPage = 1;
  const std::vector<std::string> names = exportAs("p.bmp", false, r);
  ASSERT_EQ(names.size(), 10u);
  EXPECT_EQ(names[8], "p01_09.bmp");
  EXPECT_EQ(names[9], "p01_10.bmp");
}

TEST_F(PictureExport, PagesHaveWhiteSideMargins) {
  quarterBars(0, 15);
  exportAs("m.bmp", false, request({0}));
  const QImage page(QString::fromStdString((folder / "m01_01.bmp").string()));
  ASSERT_EQ(page.size(), QSize(kPictureWidth, kPictureHeight));
  EXPECT_EQ(inkIn(page, QRect(0, 0, kPictureSideMargin, kPictureHeight)), 0);
  EXPECT_EQ(
      inkIn(page, QRect(kPictureWidth - kPictureSideMargin, 0, kPictureSideMargin, kPictureHeight)),
      0);
  // The line heads start right after the left margin.
  EXPECT_GT(inkIn(page, QRect(kPictureSideMargin, 109, 109, 263)), 1000);
}

// Page and bar numbers can be read on paper: at least 2.5 mm high, which at
// 150 dots per inch is 15 pixels. The part's name heads the first page.
TEST_F(PictureExport, NumbersAndNameAreLegible) {
  quarterBars(0, 3);
  exportAs("n.bmp", false, request({0}));
  const QImage page(QString::fromStdString((folder / "n01_01.bmp").string()));
  const QPoint margin(kPictureSideMargin, 0);
  const QRect pageNumber = darkBox(page, QRect(grid.pageNumberAt() + margin, QSize(50, 50)));
  EXPECT_GE(pageNumber.height(), 15);
  // Bar 1's number, above the staff at the right end of its cell.
  const QRect cell = grid.barCell(0, 0).translated(margin);
  const QRect barNumber =
      darkBox(page, QRect(cell.right() - 40, cell.top(), 40, cell.height() * 112 / 384 - 4));
  EXPECT_GE(barNumber.height(), 15);
  EXPECT_LT(barNumber.width(), barNumber.height());  // one digit
  EXPECT_GT(inkIn(page, QRect(QPoint(grid.margin(), 0) + margin, QSize(200, grid.margin()))), 100);
}

// The golden score: the key of two sharps in 3/4 with a bar of each kind
// the renderer draws, on one page of three lines of four bars.
class GoldenPages : public PictureExport {
 protected:
  GoldenPages() {
    s.KeySig = 5;
    s.TimeNum = 3;
    s.TimeDen = 4;
    for (const int32_t pitch : {62, 66, 69}) add(0, pitch, 16);
    add(0, 74, 32);
    add(0, 0, 16);
    TOnpu* chord = add(0, 74, 48);
    chord->Pitch[1] = 69;
    chord->Pitch[2] = 66;
    chord->LastIndex = 2;
    for (int k = 0; k < 6; ++k) add(0, 73 - k, 8);
    add(0, 60, 4);
    add(0, 61, 4);
    add(0, 63, 8);
    add(0, 65, 32);
    add(0, 48, 64);  // runs over two bar lines
    add(0, 0, 8);
    add(0, 43, 8);
    showPart(0);
  }

  // Picture pages whose glyphs are drawn from their outlines at any resolution.
  class OutlinePictures : public PicturePages {
   public:
    using PicturePages::PicturePages;
    int glyphScale() const override { return 0; }
  };

  // The page exactly as written to a bitmap file at `dpi` (a PNG one above
  // picture resolution: smaller to hold while testing); with `outlines` the
  // glyphs drawn from their outlines whatever the resolution.
  QImage page(int32_t dpi, bool outlines = false) {
    const char* kind = dpi > kPictureDpi ? "PNG" : "BMP";
    QByteArray written;
    const PicturePages::Writer keep = [&](const std::string&, std::span<const uint8_t> bytes) {
      written = QByteArray(reinterpret_cast<const char*>(bytes.data()),
                           static_cast<qsizetype>(bytes.size()));
      return std::string();
    };
    const char* extension = dpi > kPictureDpi ? ".png" : ".bmp";
    OutlinePictures drawn("golden", extension, keep, dpi);
    PicturePages composed("golden", extension, keep, dpi);
    PicturePages& target = outlines ? drawn : composed;
    OutputRequest r = request({0});
    r.barsPerLine = 4;
    r.linesPerPage = 3;
    EXPECT_EQ(ScorePages(s, sourceGlyphs()).output(r, target).pages, 1);
    // A page at four times the resolution is beyond Qt's usual limit.
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(512);
    QImage read = QImage::fromData(written, kind);
    QImageReader::setAllocationLimit(limit);
    return read;
  }
};

TEST_F(GoldenPages, AtPictureResolution) {
  const QImage golden = page(kPictureDpi);
  ASSERT_EQ(golden.size(), QSize(kPictureWidth, kPictureHeight));
  testing::expectGolden("page_3_4_two_sharps", golden);
}

// At two and four times the resolution, composed from the glyph pictures of
// that scale: the first staff line with its bar numbers, the part's name and
// the page number. Every glyph lies where its outline is drawn: the page
// differs from the one drawn from the outlines at the edges of the ink only.
TEST_F(GoldenPages, AtTwiceAndFourTimesTheResolution) {
  for (const int32_t k : {2, 4}) {
    SCOPED_TRACE(k);
    const QImage golden = page(kPictureDpi * k);
    ASSERT_EQ(golden.size(), QSize(kPictureWidth * k, kPictureHeight * k));
    testing::expectGolden("page_3_4_two_sharps_" + std::to_string(k) + "x",
                          golden.copy(0, 0, golden.width(), golden.height() * 2 / 7));
    const QImage drawn = page(kPictureDpi * k, true).convertToFormat(QImage::Format_Grayscale8);
    const QImage composed = golden.convertToFormat(QImage::Format_Grayscale8);
    int ink = 0;
    int far = 0;
    for (int y = 0; y < drawn.height(); ++y) {
      const uchar* a = drawn.constScanLine(y);
      const uchar* b = composed.constScanLine(y);
      for (int x = 0; x < drawn.width(); ++x) {
        ink += a[x] < 128;
        far += std::abs(a[x] - b[x]) > 128;
      }
    }
    EXPECT_GT(ink, 10000);
    EXPECT_LT(far, ink / 25) << far << " of " << ink;
  }
}

// A bar too wide for its cell at the staff's height is scaled down whole:
// its staff is as much smaller as its spacing and centred on the cell's
// staff, and the bar lines on both sides of it span the cell's whole staff,
// so the staves beside it end on them.
TEST_F(ScorePagesTest, ABarTooWideForItsCellIsScaledDownWhole) {
  quarterBars(0, 1);
  for (int k = 0; k < 16; ++k) add(0, 60 + k % 8, 4);  // sixteen sixteenths
  quarterBars(0, 1);
  MemoryPages target;
  ASSERT_TRUE(ScorePages(s, sourceGlyphs()).output(request({0}), target).ok());
  const QImage& page = target.pages.at(0).image;
  // The rows dark across nearly the whole of a cell: its staff lines.
  const auto staffRows = [&](const QRect& cell) {
    std::vector<int> rows;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      int dark = 0;
      for (int x = cell.left() + 4; x < cell.right() - 4; ++x)
        dark += qGray(page.pixel(x, y)) < 160;
      if (dark > (cell.width() - 8) * 9 / 10 && (rows.empty() || rows.back() != y - 1)) {
        rows.push_back(y);
      }
    }
    return rows;
  };
  const std::vector<int> normal = staffRows(grid.barCell(0, 0));
  const std::vector<int> small = staffRows(grid.barCell(1, 0));
  ASSERT_EQ(normal.size(), 10u);
  ASSERT_EQ(small.size(), 10u);
  // Sixteen cells of the score picture in the cell's width, against four.
  const double scale = static_cast<double>(grid.cellWidth()) / (16 * kCellWidth) /
                       (static_cast<double>(grid.staffHeight()) / kScoreHeight);
  EXPECT_NEAR(static_cast<double>(small.back() - small.front()) / (normal.back() - normal.front()),
              scale, 0.05);
  EXPECT_NEAR(small.front() + small.back(), normal.front() + normal.back(), 3);
  // The bar lines at both ends of the small bar reach the outer lines of
  // the full staff.
  for (const int edge : {grid.barCell(1, 0).left(), grid.barCell(2, 0).left()}) {
    SCOPED_TRACE(edge);
    int reach = 0;
    for (int y = normal.front(); y <= normal.back(); ++y) {
      bool dark = false;
      for (int x = edge - 3; x <= edge + 1; ++x) dark = dark || qGray(page.pixel(x, y)) < 128;
      reach += dark;
    }
    EXPECT_GE(reach, normal.back() - normal.front() - 1);
  }
}

// A picture file's memory grows past its first huge page keeping every byte,
// and a size it cannot hold is refused, not an abort.
TEST(PageBytes, GrowsKeepingItsBytesAndRefusesTheImpossible) {
  PageBytes bytes;
  std::vector<uint8_t> chunk(300'001);
  for (int round = 0; round < 12; ++round) {
    std::fill(chunk.begin(), chunk.end(), static_cast<uint8_t>(round));
    ASSERT_TRUE(bytes.append(chunk.data(), chunk.size()));
  }
  ASSERT_EQ(bytes.size(), 12 * chunk.size());
  for (size_t i = 0; i < bytes.size(); i += 4999) {
    ASSERT_EQ(bytes.bytes()[i], i / chunk.size()) << i;
  }
  EXPECT_FALSE(bytes.resize(SIZE_MAX - 1));
  EXPECT_FALSE(bytes.append(chunk.data(), SIZE_MAX - 1));
  EXPECT_EQ(bytes.size(), 12 * chunk.size());
}

}  // namespace
}  // namespace kelvara
