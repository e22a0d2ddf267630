// Page export: one JPEG page of fifteen full bars, one page picture at 300
// dpi, a PDF of ten parts of 200 bars each, and a long part exported as
// pictures, whose time should grow linearly with its bars.
#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <string>

#include "print/outline_painter.h"
#include "print/picture_pages.h"
#include "print/printer_pages.h"
#include "print/score_pages.h"
#include "render/glyph_table.h"
#include "render/page_renderer.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"

namespace kelvara {
namespace {

const GlyphTable& glyphs() {
  static const GlyphTable table = [] {
    GlyphTable t;
    if (!t.load(KELVARA_GLYPH_DIR).empty()) std::abort();
    return t;
  }();
  return table;
}

// A score whose first `parts` parts hold `bars` full 4/4 bars of eighth
// notes and chords each, drawn once as the editor would after a load.
struct Score {
  // `log`: notes what the picture draws.
  explicit Score(int bars, int parts = 1, DrawingLog* log = nullptr) : renderer(s, view, glyphs()) {
    if (log) renderer.picture().setLog(log);
    s.createLists();
    for (int p = 0; p < parts; ++p) {
      TOnpu* end = endMarkerOf(s.PartHead[p]);
      for (int b = 0; b < bars; ++b) {
        for (int k = 0; k < 8; ++k) {
          TOnpu* r = makeRecord(60 + (b * 3 + k * 5 + p) % 24, 8, 1);
          if (k % 4 == 0) {
            r->Pitch[1] = r->Pitch[0] - 4;
            r->Pitch[2] = r->Pitch[0] - 7;
            r->LastIndex = 2;
          }
          linkBefore(end, r);
        }
      }
      s.CurNode[p] = firstRecordOf(s.PartHead[p]);
      request.parts[p] = 1;
    }
    s.PageNode = s.CurNode[0];
    renderer.initPicture();
    renderer.PageDraw();
  }

  EditorState s;
  HeadlessScoreView view;
  PageRenderer renderer;
  OutputRequest request;
};

// Keeps the encoded pages in memory instead of writing them to disk.
PicturePages::Writer countingWriter(int64_t& bytes) {
  return [&bytes](const std::string&, std::span<const uint8_t> data) {
    bytes += static_cast<int64_t>(data.size());
    return std::string();
  };
}

void BM_JpegPageOfFifteenBars(benchmark::State& state) {
  Score score(15);
  ScorePages pages(score.s, glyphs());
  int64_t bytes = 0;
  for (auto _ : state) {
    PicturePages target("page", ".jpg", countingWriter(bytes));
    const OutputResult result = pages.output(score.request, target);
    if (result.pages != 1) state.SkipWithError("expected one page");
  }
  state.counters["bytes/page"] =
      benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_JpegPageOfFifteenBars)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// Picture pages whose glyphs are drawn from their outlines at any resolution,
// as before the 2x and 4x glyph pictures: to compare with.
class OutlinePictures : public PicturePages {
 public:
  using PicturePages::PicturePages;
  int glyphScale() const override { return 0; }
};

// One page of fifteen bars as a picture at 300 dpi (2480 x 3508), in the
// kind of `state.range(0)`: 0 JPEG, 1 PNG, 2 bitmap; composed from the 2x
// glyph pictures, or with `state.range(1)` drawn from the outlines.
void BM_PicturePageAt300Dpi(benchmark::State& state) {
  static const char* const kKinds[] = {".jpg", ".png", ".bmp"};
  Score score(15);
  ScorePages pages(score.s, glyphs());
  int64_t bytes = 0;
  for (auto _ : state) {
    std::unique_ptr<PicturePages> target;
    if (state.range(1)) {
      target = std::make_unique<OutlinePictures>("page", kKinds[state.range(0)],
                                                 countingWriter(bytes), 300);
    } else {
      target = std::make_unique<PicturePages>("page", kKinds[state.range(0)], countingWriter(bytes),
                                              300);
    }
    if (pages.output(score.request, *target).pages != 1) state.SkipWithError("expected one page");
  }
  state.SetLabel(std::string(kKinds[state.range(0)]) + (state.range(1) ? " outlines" : ""));
  state.counters["bytes/page"] =
      benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_PicturePageAt300Dpi)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// Ten parts of 200 bars each into one A4 PDF, as `kelvara pages x.pdf` does.
void BM_PdfOfTenPartsOf200Bars(benchmark::State& state) {
  Score score(200, 10);
  ScorePages pages(score.s, glyphs());
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("score.pdf"));
  int pagesWritten = 0;
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    PrinterPages target(printer);
    pagesWritten = pages.output(score.request, target).pages;
  }
  state.counters["pages"] = pagesWritten;
  state.counters["bytes"] = static_cast<double>(QFileInfo(file).size());
}
BENCHMARK(BM_PdfOfTenPartsOf200Bars)
    ->Iterations(3)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The score view on a screen of two device pixels a pixel: the page on
// screen (742 x 384) drawn from the picture's drawing log, as after a key
// press on a page of sixteen full bars.
void BM_ViewAtTwiceTheSize(benchmark::State& state) {
  DrawingLog log;
  Score score(16, 1, &log);
  GlyphOutlines outlines;
  if (!outlines.load(KELVARA_GLYPH_DIR).empty()) std::abort();
  const QRect view(0, 0, 742, kScoreHeight);
  QImage screen(view.size() * 2, QImage::Format_ARGB32_Premultiplied);
  screen.setDevicePixelRatio(2);
  OutlinePainter shapes(glyphs(), outlines);
  // As the view draws it: glyphs from the 2x pictures; with `state.range(0)`
  // from their outlines, as before those pictures.
  if (state.range(0) == 0) shapes.setGlyphPictures(glyphs().scaled(2));
  for (auto _ : state) {
    QPainter painter(&screen);
    painter.fillRect(view, Qt::white);
    painter.setClipRect(view);
    shapes.draw(painter, log, score.renderer.picture().image().rect(),
                QRectF(score.renderer.picture().image().rect()), OutlinePainter::Spacing::Pictures);
  }
  state.counters["log_ops"] = static_cast<double>(log.ops.size());
  score.renderer.picture().setLog(nullptr);
}
BENCHMARK(BM_ViewAtTwiceTheSize)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PicturesOfALongPart(benchmark::State& state) {
  Score score(static_cast<int>(state.range(0)));
  ScorePages pages(score.s, glyphs());
  int64_t bytes = 0;
  int pagesWritten = 0;
  for (auto _ : state) {
    PicturePages target("part", ".jpg", countingWriter(bytes));
    pagesWritten = pages.output(score.request, target).pages;
  }
  state.counters["pages"] = pagesWritten;
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PicturesOfALongPart)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvara

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
