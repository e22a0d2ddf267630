#include <algorithm>
#include <cmath>

#include "render/page_renderer.h"
#include "score/bar_math.h"
#include "score/score_editor.h"
#include "score/standard_notation.h"

namespace kelvara {

namespace {

// Beam geometry in pixels of the score picture (a staff space is 16).
constexpr int32_t kHeadCentre = 72;  // head centre below a stem-up glyph's top
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

}  // namespace

int32_t PageRenderer::beamNearIndex(const TOnpu& r, bool down) const {
  if (drawsPercussionStaff(s_, s_.WorkPart)) {
    const std::vector<DrumHead> heads = drumHeads(r);
    return heads.empty() ? 0 : heads.front().n;
  }
  return staffPosition(down ? lowestPitchOf(r) : r.Pitch[0]).index();
}

NotationMeter PageRenderer::notationMeter() const {
  return {s_.BarLen(), notationBeat(s_.TimeNum, s_.TimeDen), s_.KeySig};
}

std::vector<PageRenderer::GlyphPiece> PageRenderer::dottedGlyphs(const std::vector<int32_t>& cells,
                                                                 int32_t fill) const {
  std::vector<GlyphPiece> out;
  if (cells.size() == 1) {
    out.push_back({cells.front(), 0, 0, false});
    return out;
  }
  for (const NoteValue& v : dottedValues(cells, fill, notationMeter())) {
    out.push_back({v.size, v.dots, v.firstPiece * kCellWidth, !out.empty()});
  }
  return out;
}

const BeamGroup& PageRenderer::beamGroupAtCursor(const TOnpu& record) {
  static const BeamGroup kNone;
  if (!s_.StandardNotation || !isNote(record)) return kNone;
  const int32_t fill = s_.BarFill[s_.WorkPart];
  // The draw loop meets a group's members one after another: the group found
  // for the first serves the others.
  BeamGroup& last = lastBeamGroup_;
  const auto next = static_cast<size_t>(last.index + 1);
  if (last.index >= 0 && next < last.members.size() && last.members[next].record == &record &&
      last.members[next].fill == fill) {
    last.index = static_cast<int>(next);
    return last;
  }
  if (last.index >= 0 && last.members[static_cast<size_t>(last.index)].record == &record &&
      last.members[static_cast<size_t>(last.index)].fill == fill) {
    return last;
  }
  last = beamGroupOf(record, fill, notationMeter());
  // The percussion staff's stems all point up.
  if (drawsPercussionStaff(s_, s_.WorkPart)) last.down = false;
  beamGeometry_.valid = false;
  return last;
}

void PageRenderer::forgetBeamGroup() {
  lastBeamGroup_ = {};
  beamGeometry_.valid = false;
}

int32_t PageRenderer::drawBeams(const BeamGroup& group,
                                const std::array<int32_t, kPitchSlots>& staff, int last) {
  const size_t count = group.members.size();
  const auto self = static_cast<size_t>(group.index);
  const bool down = group.down;
  BeamGeometry& geo = beamGeometry_;
  if (!geo.valid) {
    // Reckoned once a group, from the group's left edge, and from the plain
    // staff places of its notes (a drum's place on the percussion staff), so
    // that every member draws its part of the same line.
    const bool drums = drawsPercussionStaff(s_, s_.WorkPart);
    int beams = 1;
    for (const BeamMember& m : group.members) beams = std::max(beams, beamCount(m.value.size));
    const int32_t length = kStemLength + kBeamDistance * std::max(0, beams - 2);
    geo.left.resize(count);
    geo.stemX.resize(count);
    geo.tip.resize(count);
    int32_t left = 0;
    for (size_t i = 0; i < count; ++i) {
      const BeamMember& m = group.members[i];
      geo.left[i] = left;
      geo.stemX[i] = left + m.valueCell * kCellWidth + (down ? kStemDownX : kStemUpX) +
                     chordShift(*m.record, down);
      left += m.cells * kCellWidth;
      const int32_t near = beamNearIndex(*m.record, down);
      geo.tip[i] = down ? headY(near) + length : headY(near) - length;
      // A note far off the staff has its stem reach the middle line.
      if (!drums) {
        geo.tip[i] =
            down ? std::max(geo.tip[i], kTrebleMiddleY) : std::min(geo.tip[i], kBassMiddleY);
      }
    }
    geo.slope = 0;
    if (geo.stemX.back() != geo.stemX.front()) {
      const int32_t rise = std::clamp(geo.tip.back() - geo.tip.front(), -kMaxRise, kMaxRise);
      geo.slope = static_cast<double>(rise) / (geo.stemX.back() - geo.stemX.front());
    }
    // The line moves away from the heads until every stem is long enough.
    geo.at = geo.tip.front();
    for (size_t i = 0; i < count; ++i) {
      const double at = geo.tip[i] - geo.slope * (geo.stemX[i] - geo.stemX.front());
      geo.at = down ? std::max(geo.at, at) : std::min(geo.at, at);
    }
    geo.valid = true;
  }
  // The tip line at x from the drawn record's left edge.
  const int32_t shift = geo.left[self] - geo.stemX.front();
  auto tipY = [&](int32_t x) {
    return static_cast<int32_t>(std::floor(geo.at + geo.slope * (x + shift) + 0.5));
  };
  beamBottom_ = -1;
  beamTop_ = -1;
  for (size_t i = 0; i < count; ++i) {
    const int32_t tip = tipY(geo.stemX[i] - geo.left[self]);
    if (down) {
      beamBottom_ = std::max(beamBottom_, tip);
    } else {
      beamTop_ = beamTop_ < 0 ? tip : std::min(beamTop_, tip);
    }
  }

  const int32_t x = s_.CursorX[s_.WorkPart];
  const int32_t sx = geo.stemX[self] - geo.left[self];
  const int32_t right = group.members[self].cells * kCellWidth - 1;
  // The stem, from the farthest head to the beam.
  const int32_t far = headY(down ? staff[0] : staff[static_cast<size_t>(last)]);
  picture_.line(x + sx, far, x + sx, tipY(sx));
  picture_.line(x + sx + 1, far, x + sx + 1, tipY(sx + 1));

  auto segment = [&](int32_t from, int32_t to, int level) {
    // Beams lie on the heads' side of the tip line, one under the other.
    const int32_t dy = down ? -kBeamDistance * level - (kBeamThickness - 1) : kBeamDistance * level;
    picture_.lines(x + from, tipY(from) + dy, x + to, tipY(to) + dy, kBeamThickness);
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
  return tipY(sx);
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
