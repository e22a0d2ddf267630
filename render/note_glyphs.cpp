#include <algorithm>

#include "render/page_renderer.h"
#include "score/bar_math.h"
#include "score/score_editor.h"
#include "score/standard_notation.h"

namespace kelvara {

namespace {

// Geometry of the glyph pictures, x from the glyph's left edge, y from the
// top of a stem-up glyph.
constexpr int32_t kRestDotX = 50;  // dots of a rest, in the space above the middle line
constexpr int32_t kRestDotY = 124;
constexpr int32_t kDisplacement = 20;  // a displaced head sits this far from the stem side
constexpr int32_t kHeadRight = 49;     // last column of a head
constexpr int32_t kWholeHeadRight = 53;
// A chord with displaced heads moves as a whole: stem up 9 pixels left, so
// that the heads right of the stem and their ledger lines end before the bar
// line at 68; stem down 11 pixels right, so that the signs at 0..14 stay left
// of the heads and ledger lines left of the stem.
constexpr int32_t kShiftUpForDisplaced = -9;
constexpr int32_t kShiftDownForDisplaced = 11;
// Ledger lines: A5 and up above the treble staff, middle C, E2 and down.
constexpr int32_t kFirstLedgerAbove = 51;
constexpr int32_t kMiddleC = 39;
constexpr int32_t kFirstLedgerBelow = 27;
// A tuplet member's own value is drawn as at most this many glyphs.
constexpr size_t kMaxTupletGlyphs = 8;
constexpr int32_t kBracketGap = 4;  // between the lowest ink of a group and its bracket

// The glyph of one piece of one pitch. Only the note that carries the chord's
// stem is drawn with stem and flags; the chord's other notes are heads alone.
Glyph pieceGlyph(int32_t size, int32_t side, bool down) {
  if (size == 64) return Glyph::Note1;
  if (side != 0) return size == 32 ? Glyph::WhiteHead : Glyph::BlackHead;
  static constexpr Glyph kUp[] = {Glyph::Note64, Glyph::Note32, Glyph::Note16,
                                  Glyph::Note8,  Glyph::Note4,  Glyph::Note2};
  static constexpr Glyph kDown[] = {Glyph::Note64Down, Glyph::Note32Down, Glyph::Note16Down,
                                    Glyph::Note8Down,  Glyph::Note4Down,  Glyph::Note2Down};
  int index = 0;
  while ((1 << index) < size) ++index;
  return down ? kDown[index] : kUp[index];
}

// Sides of a chord's notes (highest first): 1 on the stem's side, -1 for a
// head displaced across it. Seconds alternate sides, from the top note down
// when the stem is up and from the lowest note up when it is down. Returns
// whether any head is displaced.
bool chordSides(const TOnpu& r, bool down, std::array<int32_t, kPitchSlots>& sides) {
  int count = 0;
  while (count < kPitchSlots && r.Pitch[count] >= 0) ++count;
  const int last = count - 1;
  bool anyDisplaced = false;
  for (int i = 0; i < count; ++i) {
    int32_t e = 1;
    if (!down) {
      e = (i == 0 || r.Pitch[i - 1] - r.Pitch[i] >= 3) ? 1 : -sides[i - 1];
    } else {
      for (int j = last - 1; j >= i; --j) e = r.Pitch[j] - r.Pitch[j + 1] < 3 ? -e : 1;
    }
    sides[i] = e;
    anyDisplaced = anyDisplaced || e < 0;
  }
  return anyDisplaced;
}

}  // namespace

Glyph restGlyph(int32_t size) {
  switch (size) {
    case 64:
      return Glyph::Rest1;
    case 32:
      return Glyph::Rest2;
    case 16:
      return Glyph::Rest4;
    case 8:
      return Glyph::Rest8;
    case 4:
      return Glyph::Rest16;
    case 2:
      return Glyph::Rest32;
    default:
      return Glyph::Rest64;
  }
}

StaffPosition staffPosition(int32_t pitch) {
  const int32_t q = pitch + 7;
  int32_t r = q % 12;
  if (r > 6) ++r;
  return {r / 2, q / 12};
}

bool staffHoldsPitch(int32_t pitch) {
  if (pitch < 1 || pitch > 127) return false;
  // Head centre y = 504 - 8n; a head reaches 8 pixels above and below it.
  constexpr int32_t kHalfHead = 8;
  const int32_t y = 504 - 8 * staffPosition(pitch).index();
  return y >= kHalfHead && y <= kScoreHeight - kHalfHead;
}

PageRenderer::Sign PageRenderer::decideAccidental(int32_t pitch, StaffPosition& pos,
                                                  TOnpu& record) {
  const Spelling spelled = spellPitch(pitch, s_.AccState, &record.AccDelta);
  pos = {spelled.letter, spelled.group};
  return spelled.sign;
}

void PageRenderer::Chksen(int32_t x, int32_t n) {
  // The ledger picture has its line 72 pixels below its top, as a head glyph
  // has its head. Lines above the treble staff from A5 up, the one of middle
  // C, and lines below the bass staff from E2 down.
  for (int32_t m = kFirstLedgerAbove; m <= n; m += 2) blit(Glyph::Ledger, x, stemUpTop(m));
  if (n == kMiddleC) blit(Glyph::Ledger, x, stemUpTop(n));
  for (int32_t m = kFirstLedgerBelow; m >= n; m -= 2) blit(Glyph::Ledger, x, stemUpTop(m));
}

// The cells of the record at the cursor and the note values drawn in them.
// The bar step runs once per cell, unless the record is a tuplet member
// before the group's last (those do not move the bar position).
std::vector<int32_t> PageRenderer::cellSizes(const TOnpu& record) const {
  const bool member = record.RenIndex > 0 && record.RenLength > 0;
  const int32_t cellLength = member ? record.RenLength : record.Length;
  // Only the records that move the bar position move it while their pieces
  // are chosen; a tuplet member before the group's last chooses every piece
  // against the same fill.
  const bool steps = cellLength > 0 && barContribution(record) == cellLength;
  const int32_t barLen = s_.BarLen();
  int32_t bar = s_.BarNo[s_.WorkPart];
  int32_t fill = s_.BarFill[s_.WorkPart];
  std::vector<int32_t> cells;
  for (int32_t left = cellLength; left > 0;) {
    const int32_t size = pieceSize(left, fill, barLen);
    cells.push_back(size);
    if (steps) advanceBar(bar, fill, size, barLen);
    left -= size;
  }
  return cells;
}

PageRenderer::RecordPieces PageRenderer::layOutRecord(const TOnpu& record,
                                                      const std::vector<int32_t>& cells) {
  const int p = s_.WorkPart;
  const bool member = record.RenIndex > 0 && record.RenLength > 0;
  const int32_t cellLength = member ? record.RenLength : record.Length;
  const bool steps = cellLength > 0 && barContribution(record) == cellLength;
  const int32_t startFill = s_.BarFill[p];
  RecordPieces out;
  for (int32_t size : cells) {
    if (steps) ChkSyousetu(size, out.width);
    out.width += kCellWidth;
  }
  if (steps) retreatBar(s_.BarNo[p], s_.BarFill[p], cellLength, s_.BarLen());

  if (!member && s_.StandardNotation) {
    out.glyphs = dottedGlyphs(cells, startFill);
    return out;
  }
  if (!member) {
    for (size_t j = 0; j < cells.size(); ++j) {
      out.glyphs.push_back({cells[j], 0, static_cast<int32_t>(j) * kCellWidth, j > 0});
    }
    return out;
  }
  // A tuplet member shows its own value, dotted where that saves a tie; the
  // values keep to the member's cells.
  std::vector<GlyphPiece> values;
  for (int32_t own = record.Length; own > 0 && values.size() < kMaxTupletGlyphs;) {
    int32_t size = 64;
    while (size > own) size /= 2;
    int32_t value = size;
    int32_t dots = 0;
    while (dots < 2 && (size >> (dots + 1)) > 0 && own >= value + (size >> (dots + 1))) {
      value += size >> (dots + 1);
      ++dots;
    }
    values.push_back({size, dots, 0, !values.empty()});
    own -= value;
  }
  const auto count = static_cast<int32_t>(values.size());
  const auto cellCount = static_cast<int32_t>(cells.size());
  // Each member gets the group's cells; its values stand in the cells that
  // match where in the group it falls, so that the members read in order
  // across a bar line or a page boundary inside the group.
  const int32_t index = std::clamp(record.RenIndex - 1, 0, std::max(record.RenCount - 1, 0));
  const int32_t firstCell =
      std::min(cellCount - count, index * cellCount / std::max(record.RenCount, 1));
  for (int32_t j = 0; j < count; ++j) {
    if (count <= cellCount) {
      values[j].dx = (firstCell + j) * kCellWidth;
    } else {
      // More values than cells: they share the cells, and ties would not fit.
      values[j].dx = j * kCellWidth * cellCount / count;
      values[j].tied = false;
    }
  }
  out.glyphs = std::move(values);
  return out;
}

int32_t PageRenderer::chordShift(const TOnpu& r, bool down) const {
  if (drawsPercussionStaff(s_, s_.WorkPart)) {
    const std::vector<DrumHead> heads = drumHeads(r);
    const bool anyRight =
        std::any_of(heads.begin(), heads.end(), [](const DrumHead& h) { return h.right; });
    return anyRight ? kShiftUpForDisplaced : 0;
  }
  std::array<int32_t, kPitchSlots> sides{};
  if (!chordSides(r, down, sides)) return 0;
  return down ? kShiftDownForDisplaced : kShiftUpForDisplaced;
}

int32_t PageRenderer::stemExtension(Glyph glyph, int32_t n, bool down) const {
  if (!s_.StandardNotation) return 0;
  const QRect& ink = glyphs_.ink(glyph);
  if (ink.isEmpty()) return 0;
  if (down) return std::max(0, kTrebleMiddleY - (stemDownTop(n) + ink.bottom()));
  return std::max(0, stemUpTop(n) + ink.top() - kBassMiddleY);
}

void PageRenderer::drawLongStem(int32_t size, int32_t x, int32_t n, bool down) {
  blit(size == 32 ? Glyph::WhiteHead : Glyph::BlackHead, x, stemUpTop(n));
  const int32_t head = kHeadRow + stemUpTop(n);
  const int32_t end = down ? kTrebleMiddleY : kBassMiddleY;
  const int32_t stemX = x + (down ? kStemDownX : kStemUpX);
  for (int32_t d = 0; d < 2; ++d) picture_.line(stemX + d, head, stemX + d, end);
  drawFlags(stemX, end, beamCount(size), down);
}

void PageRenderer::DrawOnpu_u(int32_t side, int32_t n, const RecordPieces& pieces,
                              const ChordGeometry& g) {
  drawPitch(side, n, pieces, g);
}

void PageRenderer::DrawOnpu_d(int32_t side, int32_t n, const RecordPieces& pieces,
                              const ChordGeometry& g) {
  drawPitch(side, n, pieces, g);
}

// One pitch as its pieces, tied together. The note carrying the chord's stem
// (side 0) is drawn with its stem and flags; the other notes of a chord are
// heads alone, joined to that stem afterwards. Displaced heads stand 20 pixels
// off, away from the stem side.
void PageRenderer::drawPitch(int32_t side, int32_t n, const RecordPieces& pieces,
                             const ChordGeometry& g) {
  const int32_t x = s_.CursorX[s_.WorkPart] + g.shift;
  const int32_t up = stemUpTop(n);
  const int32_t down = stemDownTop(n);
  const int32_t displaced = side < 0 ? (g.down ? -kDisplacement : kDisplacement) : 0;
  for (const GlyphPiece& piece : pieces.glyphs) {
    if (piece.tied) {
      if (g.down) {
        blit(Glyph::TieDown, x + piece.dx - 35, down - 16);
      } else {
        blit(Glyph::Tie, x + piece.dx - 35, up + 16);
      }
    }
    // Beamed notes are heads; their stems are drawn with the beams.
    const Glyph glyph = beamed_ ? Glyph::BlackHead : pieceGlyph(piece.size, side, g.down);
    const bool headOnly = beamed_ || glyph == Glyph::Note1 || side != 0;
    const int32_t gx = x + piece.dx + displaced;
    if (!headOnly && stemExtension(glyph, n, g.down) > 0) {
      drawLongStem(piece.size, gx, n, g.down);
    } else {
      blit(glyph, gx, g.down && !headOnly ? down : up);
    }
    Chksen(gx, n);
    if (piece.dots > 0) {
      // Dots stand right of the rightmost head, in a space.
      const int32_t right = x + piece.dx + (piece.size == 64 ? kWholeHeadRight : kHeadRight) +
                            (!g.down && g.shift != 0 ? kDisplacement : 0);
      drawDots(right + 4, kHeadRow + up - (n % 2 != 0 ? 4 : 0), piece.dots);
    }
  }
}

// Augmentation dots: discs about 4 pixels across, the first centred at
// (x + 2, y), each further one 6 pixels to the right.
void PageRenderer::drawDots(int32_t x, int32_t y, int32_t dots) {
  for (int32_t k = 0; k < dots; ++k) {
    const int32_t cx = x + 6 * k;
    picture_.line(cx + 1, y - 2, cx + 2, y - 2);
    picture_.line(cx, y - 1, cx + 3, y - 1);
    picture_.line(cx, y, cx + 3, y);
    picture_.line(cx + 1, y + 1, cx + 2, y + 1);
  }
}

// One stem through all heads of a chord: from the head farthest from the
// stem's end to the note that carries the stem and flags.
void PageRenderer::drawChordStems(int last, const RecordPieces& pieces, const ChordGeometry& g,
                                  const std::array<int32_t, kPitchSlots>& staff) {
  if (last <= 0) return;
  const int32_t top = kHeadRow + stemUpTop(staff[0]);
  const int32_t bottom = kHeadRow + stemUpTop(staff[last]);
  const int32_t x = s_.CursorX[s_.WorkPart] + g.shift + (g.down ? kStemDownX : kStemUpX);
  for (const GlyphPiece& piece : pieces.glyphs) {
    if (piece.size == 64) continue;
    picture_.line(x + piece.dx, top, x + piece.dx, bottom);
    picture_.line(x + piece.dx + 1, top, x + piece.dx + 1, bottom);
  }
}

void PageRenderer::Drawkyuuhu(const RecordPieces& pieces) {
  const int32_t x = s_.CursorX[s_.WorkPart];
  for (const GlyphPiece& piece : pieces.glyphs) {
    blit(restGlyph(piece.size), x + piece.dx, kRestTop);
    if (piece.dots > 0) drawDots(x + piece.dx + kRestDotX, kRestDotY, piece.dots);
  }
}

void PageRenderer::DrawOnpu() {
  eraseCursorMark(s_, view_);
  const int p = s_.WorkPart;
  TOnpu& r = *s_.CurNode[p];
  beamBottom_ = -1;
  const int32_t x = s_.CursorX[p];

  // Clear the record's old and new cells, then lay out and step the bars.
  const std::vector<int32_t> cells = cellSizes(r);
  wipeStaff(x, std::max(static_cast<int32_t>(cells.size()) * kCellWidth, r.Width));
  r.AccDelta.fill(0);

  const RecordPieces pieces = layOutRecord(r, cells);
  if (r.Pitch[0] == 0) {
    Drawkyuuhu(pieces);
  } else if (r.Pitch[0] > 0 && drawsPercussionStaff(s_, p)) {
    drawPercussionChord(r, pieces);
  } else if (r.Pitch[0] > 0) {
    const BeamGroup& beams = beamGroupAtCursor(r);
    beamed_ = !beams.members.empty();
    ChordGeometry g;
    g.down = beamed_ ? beams.down : loneStemDown(r);
    int count = 0;
    while (count < kPitchSlots && r.Pitch[count] >= 0) ++count;
    const int last = count - 1;
    std::array<int32_t, kPitchSlots> sides{};
    if (chordSides(r, g.down, sides)) {
      // Displaced heads stay inside the cell, clear of the bar line, and the
      // signs stand left of every head. A beamed chord's stem moves with it
      // (drawBeams places it by chordShift()).
      g.shift = g.down ? kShiftDownForDisplaced : kShiftUpForDisplaced;
      g.signX = 0;
    }
    std::array<int32_t, kPitchSlots> staff{};
    for (int i = 0; i < count; ++i) {
      StaffPosition pos{};
      const Sign sign = decideAccidental(r.Pitch[i], pos, r);
      const int32_t n = pos.index();
      staff[i] = n;
      const int32_t e = sides[i];
      const int32_t side = g.down ? (last - i) * e : i * e;
      if (g.down) {
        DrawOnpu_d(side, n, pieces, g);
      } else {
        DrawOnpu_u(side, n, pieces, g);
      }

      // Signs and marks go with the first glyph (a tuplet member's may stand
      // in a later cell).
      const int32_t first = pieces.glyphs.empty() ? 0 : pieces.glyphs.front().dx;
      const int32_t a = accidentalTop(n);
      const int32_t ax = x + first + g.signX;
      switch (sign) {
        case Sign::Sharp:
          blit(Glyph::Sharp, ax, a);
          break;
        case Sign::Natural:
          blit(Glyph::Natural, ax, a);
          break;
        case Sign::Flat:
          blit(Glyph::Flat, ax, a - 3);
          break;
        case Sign::None:
          break;
      }
      const int32_t mx = x + first + g.shift;
      if (r.LenNum < 0) {
        if (!g.down && i == last) blit(Glyph::Shortened, mx + (e == 1 ? 30 : 50), a + 30);
        if (g.down && i == 0) blit(Glyph::Shortened, mx + (e == 1 ? 32 : 12), a + 2);
      } else if (r.LenNum > 0) {
        if (g.down) {
          blit(Glyph::TieDown, x + pieces.width - 35, a);
        } else {
          blit(Glyph::Tie, x + pieces.width - 35, a - 40);
        }
      }
    }
    if (beamed_) {
      drawBeams(beams, staff, last);
    } else {
      drawChordStems(last, pieces, g, staff);
    }
    beamed_ = false;
  }
  r.Width = pieces.width;

  drawIncomingArcs(r, x);
  if (r.RenIndex > 0 && r.RenIndex == r.RenCount) drawTupletBracket(r, x);
  keepAccidentalsToBarLine(r);
  for (int k = 0; k < kLetters; ++k) s_.AccState[k] -= r.AccDelta[k];
}

bool PageRenderer::loneStemDown(const TOnpu& r) const {
  return s_.StandardNotation ? standardStemDown(r, s_.KeySig) : r.Pitch[0] >= kStemDownFrom;
}

// The arcs of a lengthened record reach into the first cell of the next one,
// which has just been cleared: draw them again.
void PageRenderer::drawIncomingArcs(const TOnpu& record, int32_t x) {
  const TOnpu* prev = record.Prev;
  if (prev == nullptr || prev->Pitch[0] <= 0 || prev->LenNum <= 0) return;
  const bool drums = drawsPercussionStaff(s_, s_.WorkPart);
  // The arcs keep to the side the record was drawn with: a beamed record's
  // stem points as its group's do.
  BeamGroup group;
  int64_t prevFill = int64_t{s_.BarFill[s_.WorkPart]} - barContribution(*prev);
  if (prevFill < 0) prevFill += s_.BarLen();
  if (s_.StandardNotation && !drums && prevFill >= 0) {
    group = beamGroupOf(*prev, static_cast<int32_t>(prevFill), notationMeter());
  }
  const bool down = s_.StandardNotation ? stemPointsDown(*prev, group, drums, s_.KeySig)
                                        : prev->Pitch[0] >= kStemDownFrom;
  for (int i = 0; i < kPitchSlots && prev->Pitch[i] >= 0; ++i) {
    const int32_t a = accidentalTop(drums ? drumNote(prev->Pitch[i]).index
                                          : staffPosition(prev->Pitch[i]).index());
    if (down) {
      blit(Glyph::TieDown, x - 35, a);
    } else {
      blit(Glyph::Tie, x - 35, a - 40);
    }
  }
}

// The bracket runs under everything the group draws (heads, stems pointing
// down, flags, rests), with the count under its middle.
void PageRenderer::drawTupletBracket(const TOnpu& record, int32_t x) {
  if (drawsPercussionStaff(s_, s_.WorkPart)) {
    drawDrumTupletBracket(record, x);
    return;
  }
  int32_t lowestInk = 0;
  // A beamed group's stems end at its beams (beamBottom_ below the heads when
  // they point down).
  const bool beamedGroup = !beamGroupAtCursor(record).members.empty();
  if (beamedGroup) lowestInk = beamBottom_ + 1;
  const TOnpu* r = &record;
  for (int i = 0; i < record.RenCount && r != nullptr && isNoteOrRest(*r); ++i, r = r->Prev) {
    int32_t size = 64;
    while (size > 1 && size > r->Length) size /= 2;
    if (isRest(*r)) {
      lowestInk = std::max(lowestInk, kRestTop + glyphs_.ink(restGlyph(size)).bottom());
      continue;
    }
    const bool drums = drawsPercussionStaff(s_, s_.WorkPart);
    const int32_t n =
        drums ? lowestDrumIndex(*r)
              : staffPosition(r->Pitch[std::clamp(r->LastIndex, 0, kPitchSlots - 1)]).index();
    const Glyph carrier = pieceGlyph(size, 0, loneStemDown(*r));
    const bool downStem = !beamedGroup && !drums && loneStemDown(*r) && carrier != Glyph::Note1;
    const int32_t top = downStem ? stemDownTop(n) : stemUpTop(n);
    const int32_t longer = downStem ? stemExtension(carrier, n, true) : 0;
    lowestInk = std::max(
        lowestInk, top + longer + glyphs_.ink(downStem ? carrier : Glyph::BlackHead).bottom());
  }
  int32_t y = std::min(lowestInk + kBracketGap, kScoreHeight - 12);
  // Not along a staff line, where the bracket could not be seen.
  auto onStaffLine = [](int32_t row) {
    for (int32_t line : {112, 128, 144, 160, 176, 208, 224, 240, 256, 272}) {
      if (row >= line - 1 && row <= line + 2) return true;
    }
    return false;
  };
  while (onStaffLine(y)) ++y;
  drawTupletLine(record, x, y, -2, y + 1);
}

void PageRenderer::drawTupletLine(const TOnpu& record, int32_t x, int32_t y, int32_t tick,
                                  int32_t numberY) {
  const int32_t span = record.RenCount * record.Width;
  const int32_t xr = x + record.Width - 35;
  const int32_t xl = xr - span + kCellWidth;
  if (xl >= kMusicLeft) {
    picture_.line(xr, y + tick, xr, y);
    picture_.line(xr, y, xl, y);
    picture_.line(xl, y, xl, y + tick);
  } else {
    // The group began on an earlier page.
    picture_.line(kMusicLeft, y, xr, y);
    picture_.line(xr, y, xr, y + tick);
  }
  picture_.number(record.RenCount, x + record.Width - span / 2, numberY, DrawOp::Align::Centre);
}

}  // namespace kelvara
