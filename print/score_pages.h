#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <string>
#include <vector>

#include "print/page_grid.h"
#include "print/page_target.h"
#include "render/glyph_table.h"
#include "score/editor_state.h"

namespace kelvara {

// What the two output dialogs chose.
struct OutputRequest {
  PerPart<uint8_t> parts{};  // by part index
  int32_t firstBar = 1;
  int32_t lastBar = -1;  // negative: up to the end of each part
  int32_t barsPerLine = 3;
  int32_t linesPerPage = 5;
};

// The bars one part puts on its pages.
struct PartPages {
  int part = 0;
  int32_t firstBar = 1;
  int32_t lastBar = 0;  // below firstBar when the part has no bar in the range
  int32_t pages = 0;
};

// Bars the part's content reaches into: a last bar that is not full counts.
int32_t contentBars(const EditorState& s, int part);

// The parts in output order (index order) with their bars and page counts.
// Parts with nothing in the range have no pages.
std::vector<PartPages> planOutput(const EditorState& s, const OutputRequest& request);

struct OutputResult {
  int pages = 0;           // pages finished
  bool cancelled = false;  // the user stopped it between pages
  std::string error;       // the first error, empty when none
  bool ok() const { return error.empty(); }
};

// Puts chosen parts of the score on pages: every bar is drawn on its own by
// the score renderer into a picture of its own (the score view's picture is
// never touched), and what was drawn is drawn again as vectors from the
// glyphs' outlines into its cell of the page grid, at one scale both ways;
// each line gets the clef area as its head, each page its number, the first
// page of a part its name, each part starts on a new page. Afterwards the work part, the page view
// state and every part's cursor and bar position are as they were, also after an error or a cancel.
class ScorePages {
 public:
  ScorePages(EditorState& state, const GlyphTable& glyphs);

  OutputResult output(const OutputRequest& request, PageTarget& target,
                      OutputProgress* progress = nullptr);

  // The bar picture of bar `bar` of `part` as it goes into a cell: the bar
  // as drawn in the score picture from x 208 to its closing bar line (or to
  // the end of the part's content). For tests and tools; restores the state.
  QImage barPicture(int part, int32_t bar);

 private:
  class Session;

  EditorState& s_;
  const GlyphTable& glyphs_;
};

// Writes a page number as text, a quarter of the margin high and at least
// 2.5 mm on paper, with its top-left corner at the grid's page-number place.
void drawPageNumber(QPainter& painter, const PageGrid& grid, int32_t page);
// Writes the part's name at the top of the page, after the margin.
void drawPartName(QPainter& painter, const PageGrid& grid, int part);

}  // namespace kelvara
