#include "editor/render_command.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <filesystem>
#include <optional>

#include "files/atomic_write.h"
#include "files/command_options.h"
#include "files/score_file.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "render/drawing_threads.h"
#include "render/glyph_table.h"
#include "render/page_renderer.h"
#include "score/bar_math.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "score/whole_number.h"

namespace kelvara {

namespace {

struct RenderRequest {
  std::string input;
  std::string output;
  int part = 0;
  std::string partLabel = "1";  // as the user wrote it, for messages
  int bar = 1;
  bool standardNotation = false;
};

UsageProblem parse(const std::vector<std::string>& args, RenderRequest& req) {
  CommandOptions options;
  if (UsageProblem problem =
          readCommandOptions(args, {"--part", "--bar"}, options, {"--standard-notation"})) {
    return problem;
  }
  req.standardNotation = options.has("--standard-notation");
  if (const std::string* label = options.value("--part")) {
    if (UsageProblem problem = parsePartLabel(*label, req.part)) return problem;
    req.partLabel = *label;
  }
  if (const std::string* bar = options.value("--bar")) {
    const std::optional<int32_t> n = parseWholeNumber(*bar, 1);
    if (!n) return "--bar needs a bar number from 1, not '" + *bar + "'";
    req.bar = *n;
  }
  if (options.positional.size() != 2) return "render needs INPUT and OUTPUT.png";
  req.input = options.positional[0];
  req.output = options.positional[1];
  if (fileExtension(req.output) != ".png") return "the output must be a .png file";
  return std::nullopt;
}

// Puts the cursor of the work part on the first record that starts in bar
// `bar` or later, with its bar position, as a page button does: one walk over
// the records before it, adding bar shares only. The page drawing lays out
// that page from there; nothing before it needs drawing.
void cursorToBar(EditorState& s, int32_t bar) {
  const int p = s.WorkPart;
  const int32_t barLen = s.BarLen();
  TOnpu* node = firstRecordOf(s.PartHead[p]);
  s.BarNo[p] = 1;
  s.BarFill[p] = 0;
  s.CursorX[p] = kMusicLeft;
  while (s.BarNo[p] < bar && !isEndMarker(*node)) {
    advanceBar(s.BarNo[p], s.BarFill[p], barContribution(*node), barLen);
    node = node->Next;
  }
  s.CurNode[p] = node;
}

}  // namespace

std::string renderUsage() {
  return "kelvara render INPUT OUTPUT.png [--part LABEL] [--bar N] [--standard-notation]\n"
         "  Writes the page of the score view that holds bar N (default 1) of one part\n"
         "  (default 1) as a PNG picture. INPUT is a .zqf3, .zqf2, .zqf, .mid, .smf,\n"
         "  .musicxml, .xml or .mxl file (a .zqf file is read into the part chosen).\n"
         "  LABEL is 1 to 10 or perc. --standard-notation draws the page in standard\n"
         "  notation, as the option in the credit dialog does.\n";
}

int runRenderCommand(const std::vector<std::string>& args, const std::string& glyphFolder,
                     std::ostream& out, std::ostream& err) {
  RenderRequest req;
  if (const std::optional<std::string> problem = parse(args, req)) {
    return badUsage(err, "render", *problem);
  }
  GlyphTable glyphs;
  if (const std::string error = glyphs.load(glyphFolder); !error.empty()) {
    return commandFailed(err, "render", error);
  }
  if (const std::string error = reserveDrawingThread(); !error.empty()) {
    return commandFailed(err, "render", error);
  }

  EditorState s;
  s.createLists();
  if (!isReadableFileKind(fileExtension(req.input))) {
    return badUsage(err, "render", req.input + ": not a " + kReadableKinds);
  }
  const LoadResult loaded = loadScoreFile(s, req.input, req.part);
  if (!loaded.ok()) {
    return commandFailed(err, "render", loaded.message);
  }
  if (!loaded.notice.empty()) err << "kelvara render: " << loaded.notice << "\n";

  s.WorkPart = req.part;
  s.StandardNotation = req.standardNotation;
  // A bar on a page after the part's last one has no page to show: say so
  // instead of writing the last page under the name asked for.
  cursorToBar(s, req.bar);
  const int32_t lastPage = pageFirstBarFor(s.BarNo[req.part], s.BarsPerPage);
  if (isEndMarker(*s.CurNode[req.part]) && lastPage < pageFirstBarFor(req.bar, s.BarsPerPage)) {
    return badUsage(err, "render",
                    "bar " + std::to_string(req.bar) + " is after the end of part " +
                        req.partLabel + ", whose last page begins at bar " +
                        std::to_string(lastPage));
  }

  // The page is laid out from its own records: the picture starts one page
  // wide and grows only as far as this page needs.
  HeadlessScoreView view;
  PageRenderer renderer(s, view, glyphs);
  s.PageNode = s.CurNode[req.part];
  renderer.initPicture();
  renderer.PageDraw();

  if (renderer.picture().allocationFailed()) {
    return commandFailed(
        err, "render",
        "not enough memory for the picture of bar " + std::to_string(req.bar) + " of " + req.input);
  }
  // Encoded in memory and written like the score files: the old picture or
  // the complete new one, nothing else, whatever the name's length.
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!renderer.picture().image().save(&buffer, "PNG")) {
    return commandFailed(err, "render", "cannot encode the picture for " + req.output);
  }
  const std::string error =
      writeFileAtomically(req.output, std::span(reinterpret_cast<const uint8_t*>(png.constData()),
                                                static_cast<size_t>(png.size())));
  if (!error.empty()) return commandFailed(err, "render", error);
  out << req.output << ": page of bars " << s.PageFirstBar << " to "
      << s.PageFirstBar + s.BarsPerPage - 1 << "\n";
  return 0;
}

}  // namespace kelvara
