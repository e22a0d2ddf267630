#include "render/page_renderer.h"

#include <algorithm>
#include <cassert>
#include <climits>

#include "score/bar_math.h"
#include "score/part_list.h"
#include "score/score_editor.h"
#include "score/standard_notation.h"

namespace kelvara {

namespace {
constexpr int32_t kPageWidth = 742;
constexpr int32_t kWideningStep = 350;
// Free width kept right of a page's content. (The first page's record widths
// with the start marker's 10 pixels, plus 290: the layout's long-standing
// margin, measured from the music area's start.)
constexpr int32_t kRightReserve = kStartMarkerWidth + 290 - kMusicLeft;
// No page is drawn wider than this many pixels; a record list that claims
// more (widths are read from files) cannot make the picture grow without end.
constexpr int32_t kMaxPictureWidth = 1 << 18;
constexpr int32_t kBarLineTileOffset = 63;
constexpr int32_t kDrawAll = INT32_MIN;  // draw loop: no record is known drawn  // the tile's line
                                         // is on its right edge, x + 69

// How many cells of a record of `length` 64ths that starts at (bar, fill) lie
// in bars before `firstBar`. Pieces never cross a bar line, so a cell lies
// wholly on one side of a page boundary.
int32_t cellsBeforeBar(int32_t bar, int32_t fill, int32_t length, int32_t barLen,
                       int32_t firstBar) {
  int32_t cells = 0;
  while (length > 0 && bar < firstBar) {
    const int32_t size = pieceSize(length, fill, barLen);
    ++cells;
    length -= size;
    advanceBar(bar, fill, size, barLen);
  }
  return cells;
}

// The length a record's cells are laid out for: a tuplet member's group span.
int32_t cellLength(const TOnpu& r) {
  return r.RenIndex > 0 && r.RenLength > 0 ? r.RenLength : r.Length;
}
}  // namespace

PageRenderer::PageRenderer(EditorState& state, ScoreView& view, const GlyphTable& glyphs)
    : s_(state), view_(view), glyphs_(glyphs) {}

void PageRenderer::blit(Glyph glyph, int32_t x, int32_t y, ScorePicture::Mode mode) {
  // The percussion staff is the upper staff alone: the staff and bar line
  // pictures are put down to its bottom line, and a copy wipes the rest white.
  if (drawsPercussionStaff(s_, s_.WorkPart) &&
      (glyph == Glyph::Page || glyph == Glyph::StaffTile || glyph == Glyph::BarLineTile)) {
    const QImage& picture = glyphs_[glyph];
    const int32_t left = glyph == Glyph::Page ? kPercussionStaffLeft : 0;
    const QRect upper(left, 0, picture.width() - left, kPercussionStaffEnd);
    if (mode == ScorePicture::Mode::Copy) {
      picture_.erase(QRect(x, y, picture.width(), picture.height()));
      picture_.blitCut(picture, upper, x, y, mode);
    } else {
      picture_.blitCut(picture, glyphs_.ink(glyph) & upper, x, y, mode);
    }
    return;
  }
  // Combined by AND, white pixels change nothing: only the inked part is put.
  if (mode == ScorePicture::Mode::And) {
    picture_.blit(glyphs_[glyph], glyphs_.ink(glyph), x, y, mode);
  } else {
    picture_.blit(glyphs_[glyph], x, y, mode);
  }
}

void PageRenderer::initPicture() {
  picture_.reset(glyphs_[Glyph::Page]);
  view_.setViewWidth(picture_.width());
}

void PageRenderer::drawStartupFurniture() {
  DrawTohekigou();
  DrawHyoushi();
  DrawTyou();
  blit(Glyph::BarLineTile, 203, 0);
  drawLineStartNumber();
  view_.showScorePicture();
}

void PageRenderer::resetPictureWidth() {
  picture_.setWidth(kPageWidth);
  view_.setViewWidth(kPageWidth);
}

void PageRenderer::wipeStaff(int32_t x, int32_t width) {
  for (int32_t offset = 0; offset < width; offset += kCellWidth) {
    blit(Glyph::StaffTile, x + offset, 0, ScorePicture::Mode::Copy);
  }
}

// The draw loop: from `from`, records are drawn one after another while they
// start on the displayed page. CurNode, CursorX, BarNo, BarFill and AccState
// of the work part are the running values; the loop leaves them after the
// last record drawn.
PageRenderer::DrawLoopEnd PageRenderer::drawLoop(TOnpu* from, int32_t completeBefore) {
  const int p = s_.WorkPart;
  const int32_t lastBar = s_.PageFirstBar + s_.BarsPerPage;
  forgetBeamGroup();
  TOnpu* node = from;
  while (!isEndMarker(*node) && s_.BarNo[p] < lastBar) {
    s_.CurNode[p] = node;
    // A record drawn whole by the loop before is passed over; its width and
    // accidental changes are still those of that drawing.
    if (s_.CursorX[p] + node->Width > completeBefore) DrawOnpu();
    s_.CursorX[p] += node->Width;
    advanceBar(s_.BarNo[p], s_.BarFill[p], barContribution(*node), s_.BarLen());
    for (int k = 0; k < kLetters; ++k) s_.AccState[k] += node->AccDelta[k];
    node = node->Next;
  }
  lastLoop_ = {from, s_.WorkPart, picture_.width(), false};
  return {node};
}

void PageRenderer::setPageButtons(const TOnpu* stop) {
  view_.setPageButtons(s_.PageFirstBar >= s_.BarsPerPage, !isEndMarker(*stop));
}

void PageRenderer::clearRest() {
  const int p = s_.WorkPart;
  for (int32_t x = s_.CursorX[p]; x < picture_.width(); x += kCellWidth) {
    blit(Glyph::StaffTile, x, 0, ScorePicture::Mode::Copy);
  }
  s_.EndX = s_.CursorX[p];
}

// The first record that starts in bar `target` or later (the end marker when
// none does), with the bar position before it, found by walking from a record
// whose bar position is known. Walking from the cursor instead of from the
// part's start keeps a page far into a long part as cheap as the first.
PageRenderer::BarPosition PageRenderer::seekBar(BarPosition from, int32_t target) const {
  const int32_t barLen = s_.BarLen();
  const TOnpu* first = firstRecordOf(s_.PartHead[s_.WorkPart]);
  BarPosition at = from;
  while (at.bar < target && !isEndMarker(*at.node)) {
    advanceBar(at.bar, at.fill, barContribution(*at.node), barLen);
    at.node = at.node->Next;
  }
  while (at.node != first) {
    BarPosition before{at.node->Prev, at.bar, at.fill};
    retreatBar(before.bar, before.fill, barContribution(*before.node), barLen);
    if (before.bar < target) break;
    at = before;
  }
#ifndef NDEBUG
  // Debug builds check the walk against one from the part's start.
  BarPosition check{firstRecordOf(s_.PartHead[s_.WorkPart]), 1, 0};
  while (check.bar < target && !isEndMarker(*check.node)) {
    advanceBar(check.bar, check.fill, barContribution(*check.node), barLen);
    check.node = check.node->Next;
  }
  assert(check.node == at.node && check.bar == at.bar && check.fill == at.fill);
#endif
  return at;
}

int32_t PageRenderer::DrawGakuhu() {
  return drawPageFrom(pageFirstBarFor(s_.BarNo[s_.WorkPart], s_.BarsPerPage));
}

int32_t PageRenderer::drawPageFrom(int32_t firstBar) {
  eraseCursorMark(s_, view_);
  const int p = s_.WorkPart;
  const int32_t barLen = s_.BarLen();
  TOnpu* cursor = s_.CurNode[p];
  s_.PageFirstBar = firstBar;
  s_.PageBar = s_.PageFirstBar;

  const BarPosition onPage = seekBar({cursor, s_.BarNo[p], s_.BarFill[p]}, s_.PageBar);
  TOnpu* node = onPage.node;
  s_.BarNo[p] = onPage.bar;
  s_.BarFill[p] = onPage.fill;
  s_.PageNode = node;
  s_.PageX = kMusicLeft;
  s_.PageFill = s_.BarFill[p];

  if (!(s_.PageFill == 0 && s_.BarNo[p] == s_.PageBar) && node->Prev->Pitch[0] >= -1) {
    // The record before runs into the page: its cells from the page's first
    // bar on are drawn from x 210, the earlier ones lie under the clef area.
    s_.PageNode = node->Prev;
    retreatBar(s_.BarNo[p], s_.BarFill[p], barContribution(*s_.PageNode), barLen);
    s_.PageX =
        kMusicLeft - kCellWidth * cellsBeforeBar(s_.BarNo[p], s_.BarFill[p],
                                                 cellLength(*s_.PageNode), barLen, s_.PageBar);
    s_.PageBar = s_.BarNo[p];
    s_.PageFill = s_.BarFill[p];
  }

  s_.CursorX[p] = s_.PageX;
  s_.BarNo[p] = s_.PageBar;
  s_.BarFill[p] = s_.PageFill;
  const DrawLoopEnd end = drawLoop(s_.PageNode, kDrawAll);
  lastLoop_.from = nullptr;  // only a redraw from the cursor may pass records over
  setPageButtons(end.stop);
  clearRest();

  // Back to the cursor: undo the records from the cursor to where the loop stopped.
  int64_t fill = s_.BarFill[p];
  for (TOnpu* r = cursor; r != end.stop && !isEndMarker(*r); r = r->Next) {
    for (int k = 0; k < kLetters; ++k) s_.AccState[k] -= r->AccDelta[k];
    s_.CursorX[p] -= r->Width;
    fill -= barContribution(*r);
  }
  while (fill < 0) {
    fill += barLen;
    --s_.BarNo[p];
  }
  s_.BarFill[p] = static_cast<int32_t>(fill);
  s_.PageEndNode[p] = end.stop;
  s_.CurNode[p] = cursor;
  return s_.EndX;
}

int32_t PageRenderer::drawFromCursor() {
  eraseCursorMark(s_, view_);
  const int p = s_.WorkPart;
  const int32_t bar = s_.BarNo[p];
  if (bar < s_.PageFirstBar || bar >= s_.PageFirstBar + s_.BarsPerPage) {
    s_.EndX = PageDraw();
    return s_.EndX;
  }
  TOnpu* cursor = s_.CurNode[p];
  const int32_t x = s_.CursorX[p];
  const int32_t fill = s_.BarFill[p];
  // The redraw that follows a widening, with nothing changed since the drawing
  // before it: what that drawing put wholly inside the old width is there.
  const bool afterWidening = lastLoop_.widened && lastLoop_.from == cursor && lastLoop_.part == p &&
                             lastLoop_.x == x && lastLoop_.bar == bar && lastLoop_.fill == fill &&
                             lastLoop_.acc == s_.AccState;
  const int32_t completeBefore = afterWidening ? lastLoop_.width : kDrawAll;
  const LoopStart start{x, bar, fill, s_.AccState};
  const DrawLoopEnd end = drawLoop(cursor, completeBefore);
  lastLoop_.x = start.x;
  lastLoop_.bar = start.bar;
  lastLoop_.fill = start.fill;
  lastLoop_.acc = start.acc;
  setPageButtons(end.stop);
  for (TOnpu* r = cursor; r != end.stop; r = r->Next) {
    for (int k = 0; k < kLetters; ++k) s_.AccState[k] -= r->AccDelta[k];
  }
  clearRest();
  s_.CurNode[p] = cursor;
  s_.CursorX[p] = x;
  s_.BarNo[p] = bar;
  s_.BarFill[p] = fill;
  return s_.EndX;
}

void PageRenderer::drawFurnitureOverClef() {
  DrawTohekigou();
  DrawHyoushi();
  // The key signature goes over the clef picture. Drawing it resets the
  // accidental state to the key; the cursor's own state is kept, so that the
  // next edit at the cursor decides its accidentals from what is in force there.
  const auto atCursor = s_.AccState;
  DrawTyou();
  s_.AccState = atCursor;
  drawLineStartNumber();
}

void PageRenderer::redrawWholePage() {
  Draw5sen();
  DrawTyou();
  s_.EndX = DrawGakuhu();
  drawFurnitureOverClef();
}

void PageRenderer::RedrawPage() {
  redrawWholePage();
}

int32_t PageRenderer::PageDraw() {
  redrawWholePage();
  bool widened = false;
  while (ChkGakuhu2()) widened = true;
  if (widened) redrawWholePage();
  view_.showScorePicture();
  if (s_.SelActive) DrawSel();
  return s_.EndX;
}

// The x just after everything the displayed page draws: its records laid
// out from the page's first record, as the draw loop places them (a record
// running into the page from the one before starts left of the music area).
int32_t PageRenderer::pageContentEnd() const {
  const int32_t barLen = s_.BarLen();
  const int32_t lastBar = s_.PageFirstBar + s_.BarsPerPage;
  const TOnpu* node = s_.PageNode;
  int32_t bar = s_.PageBar;
  int32_t fill = s_.PageFill;
  int64_t x = s_.PageX;
  while (node != nullptr && !isEndMarker(*node) && bar < lastBar) {
    x += node->Width;
    advanceBar(bar, fill, barContribution(*node), barLen);
    node = node->Next;
  }
  return static_cast<int32_t>(std::min<int64_t>(x, kMaxPictureWidth));
}

bool PageRenderer::widenBy(int32_t amount) {
  const int32_t old = view_.viewWidth();
  const int32_t wider = old + amount;
  // Without memory for a wider picture the page stays as wide as it is; what
  // lies past its edge is cut off rather than the program stopped.
  if (!picture_.setWidth(picture_.width() + amount)) return false;
  view_.setViewWidth(wider);
  lastLoop_.widened = true;
  for (int32_t x = old; x < wider; x += kCellWidth) {
    blit(Glyph::StaffTile, x, 0, ScorePicture::Mode::Copy);
  }
  return true;
}

void PageRenderer::autoScroll(int32_t scrollBefore) {
  const int32_t x = s_.CursorX[s_.WorkPart];
  const int32_t extra = extraViewRoom(view_);
  if (x - scrollBefore > 600 + extra) {
    view_.setScrollX(x - 550 - extra);
  } else if (x - scrollBefore < 100) {
    view_.setScrollX(x - 150);
  }
}

bool PageRenderer::ChkGakuhu() {
  const int32_t scroll = view_.scrollX();
  bool widened = false;
  if (view_.viewWidth() < pageContentEnd() + kRightReserve) widened = widenBy(kWideningStep);
  view_.showScorePicture();
  autoScroll(scroll);
  return widened;
}

bool PageRenderer::ChkGakuhu2() {
  const int64_t missing = int64_t{pageContentEnd()} + kRightReserve - view_.viewWidth();
  if (missing <= 0) return false;
  // A picture cannot be wider than a pixel position can count.
  const int64_t room = INT32_MAX - int64_t{view_.viewWidth()};
  const int64_t step = (missing + kWideningStep - 1) / kWideningStep * kWideningStep;
  if (step > room) return false;
  const int32_t scroll = view_.scrollX();
  // Stops the widening loops when the memory is not there.
  if (!widenBy(static_cast<int32_t>(step))) return false;
  view_.showScorePicture();
  autoScroll(scroll);
  return true;
}

void PageRenderer::ChkSyousetu(int32_t piece, int32_t offset) {
  const int p = s_.WorkPart;
  s_.BarFill[p] += piece;
  if (s_.BarFill[p] < s_.BarLen()) return;
  const int32_t cell = s_.CursorX[p] + offset;
  blit(Glyph::BarLineTile, cell + kBarLineTileOffset, 0);
  const int32_t right = cell + kCellWidth - 1;
  // Standard notation numbers the bar at the start of the line instead.
  if (!s_.StandardNotation) {
    picture_.number(s_.BarNo[p], right - ScorePicture::numberWidth(s_.BarNo[p]), 0);
  }
  s_.BarFill[p] -= s_.BarLen();
  s_.BarNo[p] += 1;
  s_.LastBarLineX = cell + kCellWidth;
}

void PageRenderer::toPageAndBack(int32_t targetBar) {
  const int p = s_.WorkPart;
  TOnpu* cursor = s_.CurNode[p];
  const int32_t bar = s_.BarNo[p];
  const int32_t fill = s_.BarFill[p];
  const int32_t x = s_.CursorX[p];
  const auto acc = s_.AccState;

  const BarPosition target = seekBar({cursor, bar, fill}, targetBar);
  s_.CurNode[p] = target.node;
  s_.BarNo[p] = target.bar;
  s_.BarFill[p] = target.fill;
  PageDraw();

  s_.CurNode[p] = cursor;
  s_.BarNo[p] = bar;
  s_.BarFill[p] = fill;
  s_.CursorX[p] = x;
  s_.AccState = acc;
  // A cursor at the start of the bar after the page stands at its content's
  // end; one that lies on the page now shown (it stood at the end of the page
  // before) where this page draws it. Either way the accidentals in force
  // there are this page's, counted from its key signature.
  const bool atEnd = bar - s_.BarsPerPage == s_.PageFirstBar && fill == 0;
  if (atEnd || pageFirstBarFor(bar, s_.BarsPerPage) == s_.PageFirstBar) {
    int32_t at = s_.PageX;
    LetterAccidentals inForce = keyAccidentals(s_.KeySig);
    TOnpu* r = s_.PageNode;
    while (r != cursor && !isEndMarker(*r)) {
      at += r->Width;
      for (int k = 0; k < kLetters; ++k) inForce[k] += r->AccDelta[k];
      r = r->Next;
    }
    if (r == cursor) {
      s_.CursorX[p] = atEnd ? s_.EndX : at;
      s_.AccState = inForce;
    } else if (atEnd) {
      s_.CursorX[p] = s_.EndX;
    }
  }
  view_.focusNoteEntry();
}

void PageRenderer::BitBtn9Click() {
  if (s_.PageFirstBar - s_.BarsPerPage < 1) return;
  toPageAndBack(s_.PageFirstBar - s_.BarsPerPage);
}

void PageRenderer::BitBtn10Click() {
  toPageAndBack(s_.PageFirstBar + s_.BarsPerPage);
}

}  // namespace kelvara
