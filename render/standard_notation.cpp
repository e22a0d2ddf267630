#include <algorithm>
#include <cmath>

#include "render/page_renderer.h"
#include "score/bar_math.h"
#include "score/score_editor.h"

namespace kelvara {

namespace {

// Beam geometry in pixels of the score picture (a staff space is 16).
constexpr int32_t kHeadCentre = 72;  // head centre below a stem-up glyph's top
constexpr int32_t kStemUpX = 48;     // stem columns 48..49, right of the head
constexpr int32_t kStemDownX = 30;   // stem columns 30..31, left of the head
constexpr int32_t kStemLength = 56;  // head centre to beam, as the flagged glyphs
constexpr int32_t kBeamThickness = 7;
constexpr int32_t kBeamDistance = 12;  // from one beam to the next
constexpr int32_t kHookLength = 14;
constexpr int32_t kMaxRise = 16;  // a beam rises or falls at most a space

int32_t headY(int32_t n) {
  return stemUpTop(n) + kHeadCentre;
}

int32_t lowestPitchOf(const TOnpu& r) {
  int i = 0;
  while (i + 1 < kPitchSlots && r.Pitch[i + 1] >= 0) ++i;
  return r.Pitch[i];
}

// The beam line of a group: its edge next to the stem tips, y = at + slope
// * (x - from), x from the drawn record's left edge.
struct BeamLine {
  double at = 0;
  double slope = 0;
  int32_t from = 0;
  int32_t y(int32_t x) const { return static_cast<int32_t>(std::lround(at + slope * (x - from))); }
};

}  // namespace

NotationMeter PageRenderer::notationMeter() const {
  return {s_.BarLen(), notationBeat(s_.TimeNum, s_.TimeDen)};
}

std::vector<PageRenderer::GlyphPiece> PageRenderer::dottedGlyphs(const std::vector<int32_t>& cells,
                                                                 int32_t fill) const {
  std::vector<GlyphPiece> out;
  for (const NoteValue& v : dottedValues(cells, fill, notationMeter())) {
    out.push_back({v.size, v.dots, v.firstPiece * kCellWidth, !out.empty()});
  }
  return out;
}

BeamGroup PageRenderer::beamGroupAtCursor(const TOnpu& record) const {
  if (!s_.StandardNotation || !isNote(record)) return {};
  return beamGroupOf(record, s_.BarFill[s_.WorkPart], notationMeter());
}

void PageRenderer::drawBeams(const BeamGroup& group, const std::array<int32_t, kPitchSlots>& staff,
                             int last) {
  const size_t count = group.members.size();
  const auto self = static_cast<size_t>(group.index);
  const bool down = group.down;
  // Where every member's stem stands, from the drawn record's left edge.
  std::vector<int32_t> stemX(count);
  std::vector<int32_t> tip(count);
  int beams = 1;
  for (const BeamMember& m : group.members) beams = std::max(beams, beamCount(m.value.size));
  const int32_t length = kStemLength + kBeamDistance * std::max(0, beams - 2);
  int32_t left = 0;
  for (size_t i = self; i-- > 0;) left -= group.members[i].cells * kCellWidth;
  for (size_t i = 0; i < count; ++i) {
    const BeamMember& m = group.members[i];
    stemX[i] = left + m.valueCell * kCellWidth + (down ? kStemDownX : kStemUpX);
    left += m.cells * kCellWidth;
    // Every member reckons the line from the plain staff places, so that each
    // draws its part of the same line.
    const int32_t near =
        staffPosition(down ? lowestPitchOf(*m.record) : m.record->Pitch[0]).index();
    tip[i] = down ? headY(near) + length : headY(near) - length;
  }
  BeamLine line;
  line.from = stemX.front();
  if (stemX.back() != stemX.front()) {
    const int32_t rise = std::clamp(tip.back() - tip.front(), -kMaxRise, kMaxRise);
    line.slope = static_cast<double>(rise) / (stemX.back() - stemX.front());
  }
  // The line moves away from the heads until every stem is long enough.
  line.at = tip.front();
  for (size_t i = 0; i < count; ++i) {
    const double at = tip[i] - line.slope * (stemX[i] - line.from);
    line.at = down ? std::max(line.at, at) : std::min(line.at, at);
  }
  beamBottom_ = -1;
  if (down) {
    for (size_t i = 0; i < count; ++i) beamBottom_ = std::max(beamBottom_, line.y(stemX[i]));
  }

  const int32_t x = s_.CursorX[s_.WorkPart];
  const int32_t sx = stemX[self];
  const int32_t right = group.members[self].cells * kCellWidth - 1;
  // The stem, from the farthest head to the beam.
  const int32_t far = headY(down ? staff[0] : staff[static_cast<size_t>(last)]);
  picture_.line(x + sx, far, x + sx, line.y(sx));
  picture_.line(x + sx + 1, far, x + sx + 1, line.y(sx + 1));

  auto segment = [&](int32_t from, int32_t to, int level) {
    const int32_t away = down ? -1 : 1;  // from the tip towards the heads
    for (int32_t t = 0; t < kBeamThickness; ++t) {
      const int32_t dy = away * (kBeamDistance * level + t);
      picture_.line(x + from, line.y(from) + dy, x + to, line.y(to) + dy);
    }
  };
  for (int level = 0; level < kMaxBeams; ++level) {
    switch (group.levels[self][static_cast<size_t>(level)]) {
      case BeamPart::Begin:
        segment(sx, right, level);
        break;
      case BeamPart::Continue:
        segment(0, right, level);
        break;
      case BeamPart::End:
        segment(0, sx + 1, level);
        break;
      case BeamPart::ForwardHook:
        segment(sx, sx + kHookLength, level);
        break;
      case BeamPart::BackwardHook:
        segment(sx + 1 - kHookLength, sx + 1, level);
        break;
      case BeamPart::None:
        break;
    }
  }
}

int PageRenderer::stepBackToBeamStart() {
  const int p = s_.WorkPart;
  const int32_t bar = s_.BarNo[p];
  if (bar < s_.PageFirstBar || bar >= s_.PageFirstBar + s_.BarsPerPage) return 0;
  TOnpu* at = s_.CurNode[p];
  if (at == s_.PageNode || at->Prev == nullptr || !isNote(*at->Prev)) return 0;
  // The record before the cursor and the members of its group before it.
  int32_t prevBar = s_.BarNo[p];
  int32_t prevFill = s_.BarFill[p];
  retreatBar(prevBar, prevFill, barContribution(*at->Prev), s_.BarLen());
  if (prevBar != bar) return 0;  // groups never cross a bar line
  const int wanted = 1 + beamMembersBefore(*at->Prev, prevFill, notationMeter());
  int back = 0;
  while (back < wanted && at != s_.PageNode && at->Prev != nullptr && isNoteOrRest(*at->Prev)) {
    at = at->Prev;
    s_.CursorX[p] -= at->Width;
    retreatBar(s_.BarNo[p], s_.BarFill[p], barContribution(*at), s_.BarLen());
    for (int k = 0; k < kLetters; ++k) s_.AccState[k] -= at->AccDelta[k];
    ++back;
  }
  s_.CurNode[p] = at;
  return back;
}

void PageRenderer::stepForward(int count) {
  const int p = s_.WorkPart;
  for (int i = 0; i < count; ++i) {
    TOnpu* at = s_.CurNode[p];
    s_.CursorX[p] += at->Width;
    advanceBar(s_.BarNo[p], s_.BarFill[p], barContribution(*at), s_.BarLen());
    for (int k = 0; k < kLetters; ++k) s_.AccState[k] += at->AccDelta[k];
    s_.CurNode[p] = at->Next;
  }
}

int32_t PageRenderer::DrawFromIti() {
  if (!s_.StandardNotation) return drawFromCursor();
  // Taken off where it stands before the cursor state moves back.
  eraseCursorMark(s_, view_);
  const int back = stepBackToBeamStart();
  const int32_t end = drawFromCursor();
  stepForward(back);
  return end;
}

}  // namespace kelvara
