// Standard notation's staff: the percussion staff, accidentals that end at
// the bar line, the key signature before the time signature and the bar
// number at the start of the line, all inside the usual cells.
#include <algorithm>

#include "render/page_renderer.h"
#include "score/standard_notation.h"

namespace kelvara {

namespace {

constexpr int32_t kCrossLeft = 32;  // a cross head spans x 32..49 of its cell, up to the stem
constexpr int32_t kCrossRight = 47;
constexpr int32_t kCrossHalfHeight = 6;
constexpr int32_t kFlagGap = 10;     // between the flags of one stem
constexpr int32_t kFlagRoot = 5;     // rows of a flag's thick root
constexpr int32_t kDisplaced = 20;   // a head a second below its neighbour stands right of the stem
constexpr int32_t kBlackRight = 49;  // last column of a head, of a whole note's
constexpr int32_t kWholeRight = 53;
// The open hi-hat's circle: centred over the stem, its centre this far above
// the stem's end.
constexpr int32_t kOpenMarkRadius = 4;
constexpr int32_t kOpenMarkX = kStemUpX + 1;
constexpr int32_t kOpenMarkGap = 9;
// A tuplet bracket over the percussion staff: its gap to the ink below, the
// highest it may stand (room for its count) and where its count stands.
constexpr int32_t kDrumBracketGap = 5;
constexpr int32_t kDrumBracketLowest = 14;
constexpr int32_t kDrumBracketNumber = 11;
// Where the key signature moves to when it stands before the time signature.
constexpr int32_t kKeyShift = -32;
constexpr int32_t kSignAdvance = 10;
constexpr int32_t kTimeX = 78;
constexpr int32_t kTimeGap = 6;
// The bar number at the start of the line: above the staff, over the clef.
constexpr int32_t kLineNumberX = 22;
constexpr int32_t kLineNumberY = 74;
// The opening line of the staff and the percussion clef's bars.
constexpr int32_t kBarLineTileLine = 5;  // first column of the bar line picture's line
constexpr int32_t kPercussionClefX = 36;
constexpr int32_t kPercussionClefGap = 10;
constexpr int32_t kPercussionClefWidth = 4;
constexpr int32_t kPercussionClefTop = 128;
constexpr int32_t kPercussionClefBottom = 160;

}  // namespace

int32_t PageRenderer::keySignatureShift() const {
  return s_.StandardNotation ? kKeyShift : 0;
}

int32_t PageRenderer::timeSignatureX() const {
  if (!s_.StandardNotation || drawsPercussionStaff(s_, s_.WorkPart)) return kTimeX;
  const int32_t signs = s_.KeySig < 7 ? std::min(7 - s_.KeySig, 7) : std::min(s_.KeySig - 7, 7);
  return signs > 0 ? kTimeX + kSignAdvance * signs + kTimeGap : kTimeX;
}

void PageRenderer::drawLineStartNumber() {
  if (!s_.StandardNotation) return;
  picture_.number(s_.PageFirstBar, kLineNumberX, kLineNumberY);
}

void PageRenderer::keepAccidentalsToBarLine(TOnpu& r) {
  const int p = s_.WorkPart;
  if (!s_.StandardNotation || !reachesBarLine(r, s_.BarFill[p], s_.BarLen())) return;
  // After the bar line the key signature rules again: the record's change
  // takes the state from what was in force before it to the key's, so that
  // moving past it either way keeps the state exact.
  const LetterAccidentals key = keyAccidentals(s_.KeySig);
  for (int k = 0; k < kLetters; ++k) {
    const int32_t before = s_.AccState[k] - r.AccDelta[k];
    r.AccDelta[k] = key[k] - before;
    s_.AccState[k] = key[k];
  }
}

// The clef area of the percussion staff: the one staff from its opening
// line on, no brace, and the percussion clef's two thick bars over the
// middle three lines.
void PageRenderer::drawPercussionClef() {
  const QImage& clef = glyphs_[Glyph::Clef];
  picture_.erase(clef.rect());
  picture_.blitCut(
      glyphs_[Glyph::Page],
      QRect(kPercussionStaffLeft, 0, clef.width() - kPercussionStaffLeft, kPercussionStaffEnd), 0,
      0, ScorePicture::Mode::Copy);
  // The bar line picture (its line in its two right columns) opens the
  // staff, so that printed pages stretch it with the staff.
  blit(Glyph::BarLineTile, kPercussionStaffLeft - kBarLineTileLine, 0);
  for (const int32_t bar : {kPercussionClefX, kPercussionClefX + kPercussionClefGap}) {
    for (int32_t d = 0; d < kPercussionClefWidth; ++d) {
      picture_.line(bar + d, kPercussionClefTop, bar + d, kPercussionClefBottom);
    }
  }
}

// A cross head, two strokes two pixels wide, centred where a head would be.
void PageRenderer::drawCrossHead(int32_t x, int32_t n) {
  const int32_t cy = kHeadRow + stemUpTop(n);
  for (int32_t d = 0; d < 3; ++d) {
    picture_.line(x + kCrossLeft + d, cy - kCrossHalfHeight, x + kCrossRight + d,
                  cy + kCrossHalfHeight);
    picture_.line(x + kCrossLeft + d, cy + kCrossHalfHeight, x + kCrossRight + d,
                  cy - kCrossHalfHeight);
  }
}

void PageRenderer::drawFlags(int32_t stemX, int32_t end, int32_t flags, bool down) {
  const int32_t dir = down ? -1 : 1;  // towards the head
  for (int32_t f = 0; f < flags; ++f) {
    const int32_t y = end + dir * f * kFlagGap;
    // A thick root leaving the stem, then a thin tail bending back towards
    // the head, as an engraved flag.
    const int32_t root = down ? y - (kFlagRoot - 1) : y;
    picture_.lines(stemX, root, stemX + 9, root + dir * 8, kFlagRoot);
    for (int32_t d = 0; d < 2; ++d) {
      picture_.line(stemX + 8 + d, y + dir * 10, stemX + 12 + d, y + dir * 20);
    }
  }
}

// A small circle, radius about 4 pixels, drawn as an octagon of lines two
// pixels wide.
void PageRenderer::drawOpenMark(int32_t x, int32_t y) {
  for (const int32_t r : {kOpenMarkRadius, kOpenMarkRadius - 1}) {
    const int32_t c = r / 2;
    const int32_t px[] = {-c, c, r, r, c, -c, -r, -r};
    const int32_t py[] = {-r, -r, -c, c, r, r, c, -c};
    for (int k = 0; k < 8; ++k) {
      const int k2 = (k + 1) % 8;
      picture_.line(x + px[k], y + py[k], x + px[k2], y + py[k2]);
    }
  }
}

std::vector<PageRenderer::DrumHead> PageRenderer::drumHeads(const TOnpu& r) {
  std::vector<DrumHead> heads;
  for (int i = 0; i < kPitchSlots && r.Pitch[i] >= 0; ++i) {
    const DrumNote d = drumNote(r.Pitch[i]);
    heads.push_back({d.index, d.cross, d.open, false});
  }
  std::stable_sort(heads.begin(), heads.end(),
                   [](const DrumHead& a, const DrumHead& b) { return a.n > b.n; });
  // Stem up: sides from the top head down, a step flips the side.
  for (size_t i = 1; i < heads.size(); ++i) {
    heads[i].right = heads[i - 1].n - heads[i].n < 2 && !heads[i - 1].right;
  }
  return heads;
}

// A drum chord on the percussion staff: each key at its drum-set place, a
// cross head for cymbals and hi-hats, no accidentals, one stem up through
// all heads with the flags of its value, or up to the beam of its group.
// Two drums a step apart stand on either side of the stem. The open hi-hat
// has a small circle above the stem's end.
void PageRenderer::drawPercussionChord(const TOnpu& r, const RecordPieces& pieces) {
  const std::vector<DrumHead> heads = drumHeads(r);
  if (heads.empty()) return;
  const BeamGroup& beams = beamGroupAtCursor(r);
  const bool beamed = !beams.members.empty();
  const bool open =
      std::any_of(heads.begin(), heads.end(), [](const DrumHead& h) { return h.open; });
  const int32_t shift = chordShift(r, false);
  const int32_t x = s_.CursorX[s_.WorkPart] + shift;
  const int32_t top = kHeadRow + stemUpTop(heads.front().n);
  const int32_t bottom = kHeadRow + stemUpTop(heads.back().n);
  int32_t markY = top - 2 * kOpenMarkGap;  // above the highest ink of the first value
  for (const GlyphPiece& piece : pieces.glyphs) {
    const int32_t cell = x + piece.dx;
    for (const DrumHead& h : heads) {
      const int32_t hx = cell + (h.right ? kDisplaced : 0);
      const int32_t up = stemUpTop(h.n);
      if (piece.tied) blit(Glyph::Tie, cell - 35, up + 16);
      if (h.cross) {
        drawCrossHead(hx, h.n);
      } else {
        blit(piece.size == 64   ? Glyph::Note1
             : piece.size == 32 ? Glyph::WhiteHead
                                : Glyph::BlackHead,
             hx, up);
      }
      Chksen(hx, h.n);
      if (piece.dots > 0) {
        // Dots right of the rightmost head, in a space.
        const int32_t right =
            cell + (piece.size == 64 ? kWholeRight : kBlackRight) + (shift != 0 ? kDisplaced : 0);
        drawDots(right + 4, kHeadRow + up - (h.n % 2 != 0 ? 4 : 0), piece.dots);
      }
    }
    if (piece.size == 64 || beamed) continue;
    const int32_t flags = beamCount(piece.size);
    const int32_t stemTop = top - kStemLength - std::max(0, flags - 2) * kFlagGap;
    if (&piece == &pieces.glyphs.front()) markY = stemTop - kOpenMarkGap;
    for (int32_t d = 0; d < 2; ++d) {
      picture_.line(cell + kStemUpX + d, stemTop, cell + kStemUpX + d, bottom);
    }
    drawFlags(cell + kStemUpX, stemTop, flags, false);
  }
  if (beamed) {
    // The stem from the lowest head up to the beam, placed from the heads'
    // drum-set places.
    std::array<int32_t, kPitchSlots> staff{};
    const size_t count = std::min(heads.size(), static_cast<size_t>(kPitchSlots));
    for (size_t i = 0; i < count; ++i) staff[i] = heads[i].n;
    markY = drawBeams(beams, staff, static_cast<int>(count) - 1) - kOpenMarkGap;
  }
  if (open && !pieces.glyphs.empty()) {
    drawOpenMark(x + pieces.glyphs.front().dx + kOpenMarkX, markY);
  }
  // A lengthened drum's arcs leave its last cell (the next record draws
  // their ends); a shortened one has the mark under its lowest head.
  const int32_t first = pieces.glyphs.empty() ? 0 : pieces.glyphs.front().dx;
  for (size_t i = 0; i < heads.size(); ++i) {
    const int32_t a = accidentalTop(heads[i].n);
    if (r.LenNum > 0) {
      blit(Glyph::Tie, s_.CursorX[s_.WorkPart] + pieces.width - 35, a - 40);
    } else if (r.LenNum < 0 && i + 1 == heads.size()) {
      blit(Glyph::Shortened, x + first + (heads[i].right ? 50 : 30), a + 30);
    }
  }
}

int32_t PageRenderer::drumInkTop(const TOnpu& r) const {
  int32_t size = 64;
  while (size > 1 && size > r.Length) size /= 2;
  if (isRest(r)) return kRestTop + glyphs_.ink(restGlyph(size)).top();
  const std::vector<DrumHead> heads = drumHeads(r);
  if (heads.empty()) return kScoreHeight;
  const int32_t head = kHeadRow + stemUpTop(heads.front().n);
  const int32_t flags = beamCount(size);
  const int32_t stemTop = head - kStemLength - std::max(0, flags - 2) * kFlagGap;
  if (std::none_of(heads.begin(), heads.end(), [](const DrumHead& h) { return h.open; })) {
    return size == 64 ? head - kCrossHalfHeight : stemTop;
  }
  return (size == 64 ? head - 2 * kOpenMarkGap : stemTop - kOpenMarkGap) - kOpenMarkRadius;
}

// Stems on the percussion staff all point up, so a tuplet's bracket stands
// over them rather than among the staff's heads: its ends point down.
void PageRenderer::drawDrumTupletBracket(const TOnpu& record, int32_t x) {
  const bool beamedGroup = !beamGroupAtCursor(record).members.empty();
  int32_t highestInk = beamedGroup && beamTop_ >= 0 ? beamTop_ : kScoreHeight;
  const TOnpu* r = &record;
  for (int i = 0; i < record.RenCount && r != nullptr && isNoteOrRest(*r); ++i, r = r->Prev) {
    if (beamedGroup && isNote(*r)) {
      // Under the beam, but an open hi-hat's mark stands over it.
      const bool open = std::any_of(r->Pitch.begin(), r->Pitch.end(),
                                    [](int32_t p) { return p >= 0 && drumNote(p).open; });
      if (open) highestInk = std::min(highestInk, beamTop_ - kOpenMarkGap - kOpenMarkRadius);
      continue;
    }
    highestInk = std::min(highestInk, drumInkTop(*r));
  }
  const int32_t y = std::max(highestInk - kDrumBracketGap, kDrumBracketLowest);
  drawTupletLine(record, x, y, 2, y - kDrumBracketNumber);
}

}  // namespace kelvara
