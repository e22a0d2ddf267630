#include "editor/render_command.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <charconv>
#include <filesystem>
#include <optional>

#include "files/atomic_write.h"
#include "files/score_file.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "render/drawing_threads.h"
#include "render/glyph_table.h"
#include "render/page_renderer.h"
#include "score/bar_math.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"

namespace kelvara {

namespace {

std::optional<int> parseInt(const std::string& text) {
  int v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return v;
}

struct RenderRequest {
  std::string input;
  std::string output;
  int part = 0;
  std::string partLabel = "1";  // as the user wrote it, for messages
  int bar = 1;
};

std::optional<std::string> parse(const std::vector<std::string>& args, RenderRequest& req) {
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--part" || a == "--bar") {
      if (i + 1 >= args.size()) return a + " needs a value";
      const std::string& value = args[++i];
      if (a == "--part") {
        const std::optional<int> part = partFromUserLabel(value);
        if (!part) return "unknown part '" + value + "' (use 1 to 10 or perc)";
        req.part = *part;
        req.partLabel = value;
      } else {
        const std::optional<int> bar = parseInt(value);
        if (!bar || *bar < 1) return "--bar needs a bar number from 1, not '" + value + "'";
        req.bar = *bar;
      }
    } else if (!a.empty() && a[0] == '-') {
      return "unknown option " + a;
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return "render needs INPUT and OUTPUT.png";
  req.input = positional[0];
  req.output = positional[1];
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
  return "kelvara render INPUT OUTPUT.png [--part LABEL] [--bar N]\n"
         "  Writes the page of the score view that holds bar N (default 1) of one part\n"
         "  (default 1) as a PNG picture. INPUT is a .zqf3, .zqf2 or .zqf file (a .zqf\n"
         "  file is read into the part chosen). LABEL is 1 to 10 or perc.\n";
}

int runRenderCommand(const std::vector<std::string>& args, const std::string& glyphFolder,
                     std::ostream& out, std::ostream& err) {
  RenderRequest req;
  if (const std::optional<std::string> problem = parse(args, req)) {
    err << "kelvara render: " << *problem << "\n";
    return 2;
  }
  GlyphTable glyphs;
  if (const std::string error = glyphs.load(glyphFolder); !error.empty()) {
    err << "kelvara render: " << error << "\n";
    return 1;
  }
  if (const std::string error = reserveDrawingThread(); !error.empty()) {
    err << "kelvara render: " << error << "\n";
    return 1;
  }

  EditorState s;
  s.createLists();
  if (!isScoreFileKind(fileExtension(req.input))) {
    err << "kelvara render: " << req.input << ": not a .zqf3, .zqf2 or .zqf file\n";
    return 2;
  }
  const LoadResult loaded = loadScoreFile(s, req.input, req.part);
  if (!loaded.ok()) {
    err << "kelvara render: " << loaded.message << "\n";
    return 1;
  }
  if (!loaded.notice.empty()) err << "kelvara render: " << loaded.notice << "\n";

  s.WorkPart = req.part;
  // A bar on a page after the part's last one has no page to show: say so
  // instead of writing the last page under the name asked for.
  cursorToBar(s, req.bar);
  const int32_t lastPage = pageFirstBarFor(s.BarNo[req.part], s.BarsPerPage);
  if (isEndMarker(*s.CurNode[req.part]) && lastPage < pageFirstBarFor(req.bar, s.BarsPerPage)) {
    err << "kelvara render: bar " << req.bar << " is after the end of part " << req.partLabel
        << ", whose last page begins at bar " << lastPage << "\n";
    return 2;
  }

  // The page is laid out from its own records: the picture starts one page
  // wide and grows only as far as this page needs.
  HeadlessScoreView view;
  PageRenderer renderer(s, view, glyphs);
  s.PageNode = s.CurNode[req.part];
  renderer.initPicture();
  renderer.PageDraw();

  if (renderer.picture().allocationFailed()) {
    err << "kelvara render: not enough memory for the picture of bar " << req.bar << " of "
        << req.input << "\n";
    return 1;
  }
  // Encoded in memory and written like the score files: the old picture or
  // the complete new one, nothing else, whatever the name's length.
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!renderer.picture().image().save(&buffer, "PNG")) {
    err << "kelvara render: cannot encode the picture for " << req.output << "\n";
    return 1;
  }
  const std::string error =
      writeFileAtomically(req.output, std::span(reinterpret_cast<const uint8_t*>(png.constData()),
                                                static_cast<size_t>(png.size())));
  if (!error.empty()) {
    err << "kelvara render: " << error << "\n";
    return 1;
  }
  out << req.output << ": page of bars " << s.PageFirstBar << " to "
      << s.PageFirstBar + s.BarsPerPage - 1 << "\n";
  return 0;
}

}  // namespace kelvara
