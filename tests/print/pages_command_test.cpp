#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "files/zqf3_file.h"
#include "print/pages_command.h"
#include "print/picture_pages.h"
#include "print/printer_pages.h"
#include "print/score_pages.h"
#include "print_fixture.h"

namespace kelvara {
namespace {

namespace fs = std::filesystem;

// Pages in a PDF file, counted from its page objects.
int pdfPageCount(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray bytes = file.readAll();
  if (!bytes.startsWith("%PDF-")) return -1;
  static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
  int count = 0;
  for (auto it = page.globalMatch(QString::fromLatin1(bytes)); it.hasNext(); it.next()) ++count;
  return count;
}

// What a command prints on its standard output (empty when it cannot run).
std::string commandOutput(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    ::pclose(pipe);
  }
  return text;
}

// Upright dark strokes in a grey page as a viewer shows it: runs of dark
// pixels down a column at least `share` of the longest such run, a stroke
// over neighbouring columns counted once, as (column, row where it starts).
std::vector<QPoint> uprightStrokes(const QImage& page, double share) {
  std::vector<QPoint> runs;  // (column, start) of each run, with its length
  std::vector<int> lengths;
  for (int x = 0; x < page.width(); ++x) {
    for (int y = 0, run = 0; y <= page.height(); ++y) {
      if (y < page.height() && qGray(page.pixel(x, y)) < 160) {
        ++run;
        continue;
      }
      if (run > 8) {
        runs.emplace_back(x, y - run);
        lengths.push_back(run);
      }
      run = 0;
    }
  }
  const int longest = lengths.empty() ? 0 : *std::max_element(lengths.begin(), lengths.end());
  std::vector<QPoint> strokes;
  for (size_t i = 0; i < runs.size(); ++i) {
    if (lengths[i] < share * longest) continue;
    const auto same = std::find_if(strokes.begin(), strokes.end(), [&](const QPoint& s) {
      return s.x() == runs[i].x() - 1 && std::abs(s.y() - runs[i].y()) <= 3;
    });
    if (same != strokes.end()) {
      same->setX(runs[i].x());
    } else {
      strokes.push_back(runs[i]);
    }
  }
  return strokes;
}

class PagesCommand : public testing::PrintTest {
 protected:
  PagesCommand() {
    folder = fs::temp_directory_path() /
             ("kelvara-pages-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  ~PagesCommand() override { fs::remove_all(folder); }

  std::string path(const std::string& name) const { return (folder / name).string(); }
  // Saves the score as a whole-score file.
  std::string saved() {
    const std::string file = path("score.zqf3");
    const FileResult result = savedataplus2(s, file);
    EXPECT_TRUE(result.ok()) << result.message;
    return file;
  }
  int run(const std::vector<std::string>& args, const std::string& glyphs = SOURCE_DIR "/onpu") {
    out.str("");
    err.str("");
    return runPagesCommand(args, glyphs, out, err);
  }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder;
  std::ostringstream out, err;
};

TEST_F(PagesCommand, WritesThePicturesTheDialogWould) {
  quarterBars(0, 20);
  quarterBars(kPercussionPart, 2, 36);
  const std::string input = saved();
  ASSERT_EQ(run({input, path("out.jpg"), "--parts", "1,perc"}), 0) << err.str();
  EXPECT_EQ(files(), (std::vector<std::string>{"out01_01.jpg", "out01_02.jpg", "out10_01.jpg",
                                               "score.zqf3"}));
  // The same pages as the dialog's picture export of the same choice.
  fs::create_directories(folder / "dialog");
  PicturePages target((folder / "dialog" / "out").string(), ".jpg");
  OutputRequest request;
  request.parts[0] = request.parts[kPercussionPart] = 1;
  ScorePages(s, testing::sourceGlyphs()).output(request, target);
  for (const char* name : {"out01_01.jpg", "out01_02.jpg", "out10_01.jpg"}) {
    QFile a(QString::fromStdString(path(name)));
    QFile b(QString::fromStdString((folder / "dialog" / name).string()));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_TRUE(a.readAll() == b.readAll()) << name;
  }
}

TEST_F(PagesCommand, LayoutAndRangeOptions) {
  quarterBars(0, 20);
  const std::string input = saved();
  ASSERT_EQ(
      run({input, path("p.BMP"), "--bars", "5-8", "--bars-per-line", "2", "--lines-per-page", "1"}),
      0)
      << err.str();
  EXPECT_EQ(files(), (std::vector<std::string>{"p01_01.BMP", "p01_02.BMP", "score.zqf3"}));
  const QImage page(QString::fromStdString(path("p01_02.BMP")), "BMP");
  EXPECT_EQ(page.size(), QSize(kPictureWidth, kPictureHeight));
  // PNG at twice the resolution: twice the size each way.
  ASSERT_EQ(run({input, path("h.png"), "--bars", "1-1", "--dpi", "300"}), 0) << err.str();
  EXPECT_EQ(QImage(QString::fromStdString(path("h01_01.png")), "PNG").size(),
            QSize(2 * kPictureWidth, 2 * kPictureHeight));
}

TEST_F(PagesCommand, RefusesWrongCommandLines) {
  quarterBars(0, 2);
  const std::string input = saved();
  EXPECT_EQ(run({input, path("o.jpg"), "--bars-per-line", "0"}), 2);
  EXPECT_NE(err.str().find("--bars-per-line"), std::string::npos);
  EXPECT_EQ(run({input, path("o.jpg"), "--lines-per-page", "x"}), 2);
  EXPECT_EQ(run({input, path("o.jpg"), "--lines-per-page", "1000"}), 2);
  EXPECT_EQ(run({input, path("o.jpg"), "--bars", "4-2"}), 2);
  EXPECT_EQ(run({input, path("o.jpg"), "--parts", "12"}), 2);
  EXPECT_EQ(run({input, path("o.gif")}), 2);
  EXPECT_EQ(run({input, path("o.png"), "--dpi", "49"}), 2);
  EXPECT_EQ(run({input, path("o.png"), "--dpi", "601"}), 2);
  EXPECT_EQ(run({input}), 2);
  EXPECT_EQ(run({path("missing.zqf3"), path("o.jpg")}), 1);
  EXPECT_EQ(run({input, path("o.jpg"), "--parts", "2"}),
            1);  // an empty part: nothing to put on pages
  EXPECT_EQ(files(), std::vector<std::string>{"score.zqf3"});
}

TEST_F(PagesCommand, PdfHoldsEveryPageOfEveryPart) {
  quarterBars(0, 20);
  quarterBars(3, 1);
  const std::string input = saved();
  ASSERT_EQ(run({input, path("all.pdf")}), 0) << err.str();
  EXPECT_EQ(files(), (std::vector<std::string>{"all.pdf", "score.zqf3"}));
  EXPECT_EQ(pdfPageCount(path("all.pdf")), 3);
  EXPECT_NE(out.str().find("3 pages"), std::string::npos);
}

TEST_F(PagesCommand, PrinterPagesGoIntoOneJob) {
  quarterBars(0, 4);
  quarterBars(kPercussionPart, 4, 36);
  showPart(0);
  const std::string file = path("job.pdf");
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file));
    // The print dialog's "Print to File" goes through the PDF writer.
    const std::unique_ptr<PageTarget> job = printTargetFor(printer);
    PageTarget& target = *job;
    OutputRequest request;
    request.parts[0] = request.parts[kPercussionPart] = 1;
    request.barsPerLine = 2;
    request.linesPerPage = 1;
    const OutputResult result = ScorePages(s, testing::sourceGlyphs()).output(request, target);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.pages, 4);
    EXPECT_GT(target.pageSize().width(), 3000);  // printer pixels, not picture pixels
  }
  EXPECT_EQ(pdfPageCount(file), 4);
}

// Lowers the file-size limit for one scope: writes past it fail as on a full
// disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    const rlimit limit{bytes, old_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }

 private:
  rlimit old_{};
};

// Regression: a full disk left a truncated PDF in place of the old one with
// exit status 0; "out.pdf.part" was followed when it was a link; a picture
// that could not be written said "Unknown error".
TEST_F(PagesCommand, PdfAndPicturesAreWholeOrUntouched) {
  quarterBars(0, 20);
  const std::string input = saved();
  ASSERT_EQ(run({input, path("all.pdf")}), 0) << err.str();
  ASSERT_EQ(run({input, path("p.jpg")}), 0) << err.str();
  const auto pdfSize = fs::file_size(path("all.pdf"));
  const auto jpgSize = fs::file_size(path("p01_01.jpg"));
  std::ofstream(path("victim.txt")) << "victim";
  fs::create_symlink("victim.txt", path("all.pdf.part"));
  {
    const FileSizeLimit full(2000);
    for (const char* output : {"all.pdf", "p.jpg"}) {
      EXPECT_EQ(run({input, path(output)}), 1) << output;
      EXPECT_NE(err.str().find(std::strerror(EFBIG)), std::string::npos) << err.str();
    }
  }
  EXPECT_EQ(pdfPageCount(path("all.pdf")), 2);
  EXPECT_EQ(fs::file_size(path("all.pdf")), pdfSize);
  EXPECT_EQ(fs::file_size(path("p01_01.jpg")), jpgSize);
  EXPECT_EQ(fs::file_size(path("victim.txt")), 6u);

  ::chmod(path("all.pdf").c_str(), 0444);
  EXPECT_EQ(run({input, path("all.pdf")}), 1);
  EXPECT_NE(err.str().find("読み取り専用"), std::string::npos) << err.str();
  EXPECT_EQ(files(), (std::vector<std::string>{"all.pdf", "all.pdf.part", "p01_01.jpg",
                                               "p01_02.jpg", "score.zqf3", "victim.txt"}));
}

}  // namespace
}  // namespace kelvara

namespace kelvara {
namespace {

// A viewer at screen resolutions shows every bar line: the PDF draws the
// music as vectors and font glyphs, with no picture in it.
TEST_F(PagesCommand, PdfBarLinesShowAtViewerResolutions) {
  quarterBars(0, 6);
  ASSERT_EQ(run({saved(), path("x.pdf")}), 0) << err.str();
  const std::string images = commandOutput("pdfimages -list '" + path("x.pdf") + "'");
  ASSERT_NE(images.find("page"), std::string::npos) << "pdfimages (poppler-utils) did not run";
  EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 2) << images;  // the heading only
  // The glyphs are the music font's, embedded once.
  const std::string fonts = commandOutput("pdffonts '" + path("x.pdf") + "'");
  EXPECT_NE(fonts.find("KelvaraMusic"), std::string::npos) << fonts;
  for (const int dpi : {72, 96, 150}) {
    const std::string prefix = path("page" + std::to_string(dpi));
    commandOutput("pdftoppm -gray -r " + std::to_string(dpi) + " -f 1 -l 1 '" + path("x.pdf") +
                  "' '" + prefix + "'");
    const QImage page(QString::fromStdString(prefix + "-1.pgm"));
    ASSERT_FALSE(page.isNull()) << dpi;
    // Two staff lines of three bars: on each the system line, the opening
    // bar line and three closing ones.
    const std::vector<QPoint> strokes = uprightStrokes(page, 0.8);
    std::map<int, int> perLine;
    for (const QPoint& s : strokes) ++perLine[s.y() / (page.height() / 10)];
    EXPECT_EQ(strokes.size(), 10u) << dpi << " dpi";
    for (const auto& [band, count] : perLine) EXPECT_EQ(count, 5) << dpi << " dpi, band " << band;
  }
}

// Without the glyphs' outlines (or their fonts) the PDF still comes: each
// page one lossless picture at one resolution both ways, its bar lines shown.
TEST_F(PagesCommand, PdfWithoutOutlinesHasOneLosslessPicturePerPage) {
  quarterBars(0, 20);
  const std::string input = saved();
  const fs::path glyphs = folder / "glyphs";
  void (*const damages[])(const fs::path&) = {
      [](const fs::path& file) { fs::remove(file); },
      [](const fs::path& file) { fs::resize_file(file, fs::file_size(file) / 2); },
      [](const fs::path& file) {
        std::ofstream(file) << "font music missing.ttf\npicture 1bu.bmp 70 82\n";
      }};
  for (const auto& damage : damages) {
    fs::remove_all(glyphs);
    fs::copy(SOURCE_DIR "/onpu", glyphs);
    damage(glyphs / "outlines.txt");
    ASSERT_EQ(run({input, path("x.pdf")}, glyphs.string()), 0) << err.str();
    const std::string images = commandOutput("pdfimages -list '" + path("x.pdf") + "'");
    // Heading, rule, and one line per page: page num type width height color
    // comp bpc enc interp object ID x-ppi y-ppi ...
    std::istringstream lines(images);
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    int pictures = 0;
    while (std::getline(lines, line)) {
      std::istringstream fields(line);
      std::string page, num, type, width, height, color, comp, bpc, enc, interp, object, id, xppi,
          yppi;
      fields >> page >> num >> type >> width >> height >> color >> comp >> bpc >> enc >> interp >>
          object >> id >> xppi >> yppi;
      EXPECT_EQ(page, std::to_string(++pictures)) << images;
      EXPECT_EQ(enc, "image") << images;  // Flate, not JPEG
      EXPECT_EQ(xppi, yppi) << images;
    }
    EXPECT_EQ(pictures, 2) << images;
    const std::string prefix = path("fallback");
    commandOutput("pdftoppm -gray -r 96 -f 1 -l 1 '" + path("x.pdf") + "' '" + prefix + "'");
    const QImage page(QString::fromStdString(prefix + "-1.pgm"));
    ASSERT_FALSE(page.isNull());
    // Five staff lines of three bars: the system line and four bar lines each.
    EXPECT_EQ(uprightStrokes(page, 0.8).size(), 25u);
  }
}

}  // namespace
}  // namespace kelvara
