// A whole-score file that loads must save and load again to the same score,
// export as a well-formed MIDI file (or be refused with a message), and draw
// its first page within the page width the loader allows.
#include <string>

#include "files/load_limits.h"
#include "files/midi_export.h"
#include "files/zqf3_file.h"
#include "fuzz_support.h"
#include "render/glyph_table.h"
#include "render/page_renderer.h"
#include "score/headless_score_view.h"

namespace {

const kelvara::GlyphTable& glyphs() {
  static const kelvara::GlyphTable table = [] {
    kelvara::GlyphTable t;
    const std::string error = t.load(KELVARA_GLYPH_DIR);
    if (!error.empty()) kelvara::fuzz::fail(error);
    return t;
  }();
  return table;
}

// Draws page 1 of part p as the editor does after a load.
void drawFirstPage(kelvara::EditorState& s, int p) {
  using namespace kelvara;
  s.WorkPart = p;
  s.CurNode[p] = firstRecordOf(s.PartHead[p]);
  s.BarNo[p] = 1;
  s.BarFill[p] = 0;
  s.CursorX[p] = kMusicLeft;
  s.PageNode = s.CurNode[p];
  HeadlessScoreView view;
  PageRenderer renderer(s, view, glyphs());
  renderer.initPicture();
  renderer.PageDraw();
  // The picture grows in steps of 350 past the content and a reserve of 290.
  constexpr int64_t kMostPixels = kMusicLeft + kMaxPageCells * kCellWidth + 290 + 350;
  if (renderer.picture().allocationFailed()) fuzz::fail("no memory for a page that loaded");
  if (renderer.picture().width() > kMostPixels) {
    fuzz::fail("page " + std::to_string(renderer.picture().width()) + " pixels wide");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kelvara;
  EditorState s;
  s.createLists();
  if (!decodeZqf3(s, std::span(data, size), "fuzz.zqf3").ok()) return 0;
  s.PartSelected.fill(1);

  std::vector<uint8_t> saved;
  const FileResult w = encodeZqf3(s, 0, -1, "saved.zqf3", saved);
  if (!w.ok()) fuzz::fail("a loaded score cannot be saved: " + w.message);
  EditorState t;
  t.createLists();
  const LoadResult back = decodeZqf3(t, saved, "saved.zqf3");
  if (!back.ok()) fuzz::fail("a saved score cannot be loaded: " + back.message);
  if (fuzz::describe(t) != fuzz::describe(s)) fuzz::fail("load, save, load changed the score");

  std::vector<uint8_t> midi;
  const FileResult m = encodeMidiExport(s, 0, -1, "fuzz.mid", midi);
  if (m.ok()) {
    fuzz::checkMidi(midi, kPartCount);
  } else if (m.message.find("fuzz.mid") == std::string::npos) {
    fuzz::fail("MIDI export refused without naming the file");
  }

  for (int p = 0; p < kPartCount; ++p) {
    if (!isEndMarker(*firstRecordOf(s.PartHead[p]))) {
      drawFirstPage(s, p);
      break;
    }
  }
  return 0;
}
