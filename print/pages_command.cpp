#include "print/pages_command.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <optional>

#include "files/command_options.h"
#include "files/score_file.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "print/pdf_pages.h"
#include "print/picture_pages.h"
#include "print/score_pages.h"
#include "render/drawing_threads.h"
#include "score/part_list.h"
#include "score/whole_number.h"

namespace kelvara {

namespace {

struct PagesRequest {
  std::string input;
  std::string output;
  OutputRequest request;
  int firstPart = 0;  // where a one-part .zqf file is read into
  int32_t dpi = kPictureDpi;
  bool standardNotation = false;
};

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

UsageProblem parse(const std::vector<std::string>& args, PagesRequest& req) {
  req.request.parts.fill(1);
  CommandOptions options;
  if (UsageProblem problem = readCommandOptions(
          args, {"--parts", "--bars", "--bars-per-line", "--lines-per-page", "--dpi"}, options,
          {"--standard-notation"})) {
    return problem;
  }
  req.standardNotation = options.has("--standard-notation");
  if (const std::string* list = options.value("--parts")) {
    PartChoice choice;
    if (UsageProblem problem = parsePartList(*list, choice)) return problem;
    req.request.parts = choice.parts;
    req.firstPart = choice.first;
  }
  if (const std::string* bars = options.value("--bars")) {
    if (UsageProblem problem = parseBarRange(*bars, req.request.firstBar, req.request.lastBar)) {
      return problem;
    }
  }
  std::optional<int32_t> barsPerLine = req.request.barsPerLine;
  std::optional<int32_t> linesPerPage = req.request.linesPerPage;
  if (const std::string* n = options.value("--bars-per-line")) barsPerLine = parseWholeNumber(*n);
  if (const std::string* m = options.value("--lines-per-page")) linesPerPage = parseWholeNumber(*m);
  if (options.positional.size() != 2) return "pages needs INPUT and OUTPUT";
  if (!barsPerLine || *barsPerLine < 1 || *barsPerLine > kMaxBarsPerLine) {
    return "--bars-per-line needs a number from 1 to " + std::to_string(kMaxBarsPerLine);
  }
  if (!linesPerPage || *linesPerPage < 1 || *linesPerPage > kMaxLinesPerPage) {
    return "--lines-per-page needs a number from 1 to " + std::to_string(kMaxLinesPerPage);
  }
  if (const std::string* dpi = options.value("--dpi")) {
    const std::optional<int32_t> value = parseWholeNumber(*dpi);
    if (!value || *value < kMinPictureDpi || *value > kMaxPictureDpi) {
      return "--dpi needs a number from " + std::to_string(kMinPictureDpi) + " to " +
             std::to_string(kMaxPictureDpi);
    }
    req.dpi = *value;
  }
  req.request.barsPerLine = *barsPerLine;
  req.request.linesPerPage = *linesPerPage;
  req.input = options.positional[0];
  req.output = options.positional[1];
  const std::string kind = lowered(fileExtension(req.output));
  if (kind != ".jpg" && kind != ".jpeg" && kind != ".bmp" && kind != ".png" && kind != ".pdf") {
    return "the output must end in .jpg, .jpeg, .bmp, .png or .pdf";
  }
  return std::nullopt;
}

// QPrinter needs a GUI application; the command never shows a window, so it
// runs on the platform without a display.
std::unique_ptr<QGuiApplication> ensureApplication() {
  if (QCoreApplication::instance()) return nullptr;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "kelvara";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

int writePdf(ScorePages& pages, const OutputRequest& request, const std::string& output,
             std::ostream& out, std::ostream& err) {
  const std::unique_ptr<QGuiApplication> app = ensureApplication();
  // The layout a printer set to A4 portrait PDF has, so the command's pages
  // match those of the print dialog's "Print to File".
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  PdfPages target(output, printer.pageLayout(), printer.resolution(), printer.docName());
  const OutputResult result = pages.output(request, target);
  if (!result.ok()) {
    return commandFailed(err, "pages", result.error);
  }
  if (result.pages == 0) {
    return commandFailed(err, "pages",
                         "nothing to output: the parts chosen hold no bars in the range");
  }
  out << output << ": " << result.pages << (result.pages == 1 ? " page\n" : " pages\n");
  return 0;
}

}  // namespace

std::string pagesUsage() {
  return "kelvara pages INPUT OUTPUT [--parts LIST] [--bars FROM-TO] [--bars-per-line N]\n"
         "              [--lines-per-page M] [--dpi D] [--standard-notation]\n"
         "  Puts parts of a score on pages as the output command does. INPUT is a .zqf3,\n"
         "  .zqf2, .zqf, .mid, .smf, .musicxml, .xml or .mxl file. OUTPUT ending in\n"
         "  .jpg, .jpeg, .bmp or .png writes one A4 picture a page at D dots per inch\n"
         "  (default 150, 50 to 600), named OUTPUT's base name + part number + \"_\" +\n"
         "  page number + extension; .pdf writes one PDF of all pages, in vectors.\n"
         "  LIST: parts, comma-separated, 1 to 10 and perc (default all);\n"
         "  N bars a staff line (default 3), M staff lines a page (default 5).\n"
         "  --standard-notation draws the pages in standard notation, as the option in\n"
         "  the credit dialog does.\n";
}

int runPagesCommand(const std::vector<std::string>& args, const std::string& glyphFolder,
                    std::ostream& out, std::ostream& err) {
  PagesRequest req;
  if (const std::optional<std::string> problem = parse(args, req)) {
    return badUsage(err, "pages", *problem);
  }
  GlyphTable glyphs;
  if (const std::string error = glyphs.load(glyphFolder); !error.empty()) {
    return commandFailed(err, "pages", error);
  }
  if (const std::string error = reserveDrawingThread(); !error.empty()) {
    return commandFailed(err, "pages", error);
  }
  EditorState s;
  s.createLists();
  s.StandardNotation = req.standardNotation;
  if (!isReadableFileKind(fileExtension(req.input))) {
    return badUsage(err, "pages", req.input + ": not a " + kReadableKinds);
  }
  const LoadResult loaded = loadScoreFile(s, req.input, req.firstPart);
  if (!loaded.ok()) {
    return commandFailed(err, "pages", loaded.message);
  }
  for (int p = 0; p < kPartCount; ++p) {
    s.CurNode[p] = firstRecordOf(s.PartHead[p]);
    s.BarNo[p] = 1;
    s.BarFill[p] = 0;
    s.CursorX[p] = kMusicLeft;
  }

  ScorePages pages(s, glyphs);
  const std::string outKind = lowered(fileExtension(req.output));
  if (outKind == ".pdf") return writePdf(pages, req.request, req.output, out, err);

  const std::unique_ptr<QGuiApplication> app = ensureApplication();
  const PictureName name = splitPictureName(req.output, true);
  PicturePages target(name.base, name.extension, {}, req.dpi);
  const OutputResult result = pages.output(req.request, target);
  for (const std::string& file : target.written()) out << file << "\n";
  if (!result.ok()) {
    return commandFailed(err, "pages", result.error);
  }
  if (result.pages == 0) {
    return commandFailed(err, "pages",
                         "nothing to output: the parts chosen hold no bars in the range");
  }
  return 0;
}

}  // namespace kelvara
