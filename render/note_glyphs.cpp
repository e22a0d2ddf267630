#include <algorithm>

#include "render/page_renderer.h"
#include "score/bar_math.h"
#include "score/score_editor.h"

namespace kelvara {

namespace {

constexpr int32_t kRestTop = 96;
constexpr int32_t kDisplacement = 20;  // a displaced head sits this far from the stem side
constexpr int32_t kNoPitch = 200;      // "no pitch" for the tuplet bracket: far above the picture

// The glyph of one piece of one pitch. Chord members off the flag-carrying
// note show no flags; displaced heads are drawn without a stem.
Glyph pieceGlyph(int32_t size, int32_t side, bool down) {
  if (size == 64) return Glyph::Note1;
  if (side < 0) return size == 32 ? Glyph::WhiteHead : Glyph::BlackHead;
  if (side > 0 && size < 16) size = 16;
  static constexpr Glyph kUp[] = {Glyph::Note64, Glyph::Note32, Glyph::Note16,
                                  Glyph::Note8,  Glyph::Note4,  Glyph::Note2};
  static constexpr Glyph kDown[] = {Glyph::Note64Down, Glyph::Note32Down, Glyph::Note16Down,
                                    Glyph::Note8Down,  Glyph::Note4Down,  Glyph::Note2Down};
  int index = 0;
  while ((1 << index) < size) ++index;
  return down ? kDown[index] : kUp[index];
}

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

}  // namespace

StaffPosition staffPosition(int32_t pitch) {
  const int32_t q = pitch + 7;
  int32_t r = q % 12;
  if (r > 6) ++r;
  return {r / 2, q / 12};
}

PageRenderer::Sign PageRenderer::decideAccidental(int32_t pitch, StaffPosition& pos,
                                                  TOnpu& record) {
  const int32_t q = pitch + 7;
  int32_t r = q % 12;
  if (r > 6) ++r;
  pos = {r / 2, q / 12};
  auto& acc = s_.AccState;
  auto set = [&](int32_t letter, int32_t value) {
    record.AccDelta[letter] += value - acc[letter];
    acc[letter] = value;
  };
  const int32_t L = pos.letter;
  if (r % 2 == 0) {  // white key
    if (acc[L] == 0) return Sign::None;
    if (L == 4 && acc[3] == 1) {  // B sharp
      pos.letter = 3;
      return Sign::None;
    }
    if (L == 0 && acc[6] == 1) {  // E sharp, the E just below
      pos.letter = 6;
      --pos.group;
      return Sign::None;
    }
    if (L == 3 && acc[4] == -1) {  // C flat
      pos.letter = 4;
      return Sign::None;
    }
    if (L == 6 && acc[0] == -1) {  // F flat, the F just above
      pos.letter = 0;
      ++pos.group;
      return Sign::None;
    }
    set(L, 0);
    return Sign::Natural;
  }
  // A black key lies above letter L (never B or E), so L + 1 is a letter.
  if (acc[L] == 1) return Sign::None;
  if (acc[L + 1] == -1) {
    pos.letter = L + 1;
    return Sign::None;
  }
  if (acc[L + 1] == 1 || acc[L] == 0) {
    set(L, 1);
    return Sign::Sharp;
  }
  pos.letter = L + 1;
  set(L + 1, -1);
  return Sign::Flat;
}

void PageRenderer::Chksen(int32_t x, int32_t y) {
  if (y == 120) {
    blit(Glyph::Ledger, x, 120);  // C4
  } else if (y == 216) {
    blit(Glyph::Ledger, x, 216);  // E2
  } else if (y == 87) {
    blit(Glyph::Ledger, x, 24);  // A5 drawn with a stem-down glyph
  }
}

int32_t PageRenderer::DrawOnpu_u(int32_t side, int32_t y, int inner, int32_t length) {
  return drawPitch(side, y, inner, length, false);
}

int32_t PageRenderer::DrawOnpu_d(int32_t side, int32_t y, int inner, int32_t length) {
  return drawPitch(side, y, inner, length, true);
}

// One pitch as its pieces, tied together. y is the glyph top of the stem
// direction's set; whole notes and heads alone of the stem-down set have their
// head where the stem-up set has it, 63 pixels higher. Displaced heads stand
// 20 pixels off, away from the stem.
int32_t PageRenderer::drawPitch(int32_t side, int32_t y, int inner, int32_t length, bool down) {
  const int p = s_.WorkPart;
  const int32_t x = s_.CursorX[p];
  const int32_t shift = side < 0 ? (down ? -kDisplacement : kDisplacement) : 0;
  int32_t left = length;
  int32_t offset = 0;
  while (left > 0) {
    const int32_t size = pieceSize(left);
    if (offset > 0) {
      if (down) {
        blit(Glyph::TieDown, x + offset - 35, y - 16);
      } else {
        blit(Glyph::Tie, x + offset - 35, y + 16);
      }
    }
    const bool headOnly = size == 64 || side < 0;
    const int32_t gx = x + offset + shift;
    const int32_t gy = down && headOnly ? y - 63 : y;
    blit(pieceGlyph(size, side, down), gx, gy);
    Chksen(gx, gy);
    if (inner == 0) ChkSyousetu(size, offset);
    left -= size;
    offset += kCellWidth;
  }
  if (inner == 0) retreatBar(s_.BarNo[p], s_.BarFill[p], length, s_.BarLen());
  return offset;
}

int32_t PageRenderer::Drawkyuuhu(int32_t length, int inner) {
  const int p = s_.WorkPart;
  const int32_t x = s_.CursorX[p];
  int32_t left = length;
  int32_t offset = 0;
  while (left > 0) {
    const int32_t size = pieceSize(left);
    blit(restGlyph(size), x + offset, kRestTop);
    if (inner == 0) ChkSyousetu(size, offset);
    left -= size;
    offset += kCellWidth;
  }
  if (inner == 0) retreatBar(s_.BarNo[p], s_.BarFill[p], length, s_.BarLen());
  return offset;
}

void PageRenderer::DrawOnpu() {
  eraseCursorMark(s_, view_);
  const int p = s_.WorkPart;
  TOnpu& r = *s_.CurNode[p];
  const int32_t x = s_.CursorX[p];

  // Clear the record's old and new cells.
  const int32_t cells = std::max(CountWidth(r.Length), r.Width);
  wipeStaff(x, cells);
  r.AccDelta.fill(0);

  const bool member = r.RenLength > 0;
  const int32_t drawn = member ? r.RenLength : r.Length;
  const int inner = member && r.RenIndex != r.RenCount ? 1 : 0;

  if (r.Pitch[0] == 0) {
    r.Width = Drawkyuuhu(drawn, inner);
  } else if (r.Pitch[0] > 0) {
    const bool down = r.Pitch[0] >= kStemDownFrom;
    int32_t side = 1;
    for (int i = 0; i < kPitchSlots && r.Pitch[i] >= 0; ++i) {
      StaffPosition pos{};
      const Sign sign = decideAccidental(r.Pitch[i], pos, r);
      const int32_t n = pos.index();
      if (!down) {
        // Seconds alternate sides downwards from the top note.
        side = (i == 0 || r.Pitch[i - 1] - r.Pitch[i] >= 3) ? 1 : -side;
      } else {
        // Seconds alternate sides upwards from the lowest note.
        side = 1;
        for (int j = r.LastIndex - 1; j >= i; --j) {
          side = r.Pitch[j] - r.Pitch[j + 1] < 3 ? -side : 1;
        }
      }
      const int32_t offsetSide = down ? (r.LastIndex - i) * side : i * side;
      r.Width = down ? DrawOnpu_d(offsetSide, stemDownTop(n), inner, drawn)
                     : DrawOnpu_u(offsetSide, stemUpTop(n), inner, drawn);

      const int32_t a = accidentalTop(n);
      const int32_t ax = side == 1 ? x + 10 : x;
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
      if (r.LenNum < 0) {
        if (!down && i == r.LastIndex) blit(Glyph::Shortened, x + (side == 1 ? 30 : 50), a + 30);
        if (down && i == 0) blit(Glyph::Shortened, x + (side == 1 ? 32 : 12), a + 2);
      } else if (r.LenNum > 0) {
        if (down) {
          blit(Glyph::TieDown, x + r.Width - 35, a);
        } else {
          blit(Glyph::Tie, x + r.Width - 35, a - 40);
        }
      }
    }
  }

  drawIncomingArcs(r, x);
  if (r.RenIndex > 0 && r.RenIndex == r.RenCount) drawTupletBracket(r, x);
  for (int k = 0; k < kLetters; ++k) s_.AccState[k] -= r.AccDelta[k];
}

// The arcs of a lengthened record reach into the first cell of the next one,
// which has just been cleared: draw them again.
void PageRenderer::drawIncomingArcs(const TOnpu& record, int32_t x) {
  const TOnpu* prev = record.Prev;
  if (prev == nullptr || prev->Pitch[0] <= 0 || prev->LenNum <= 0) return;
  const bool down = prev->Pitch[0] >= kStemDownFrom;
  for (int i = 0; i < kPitchSlots && prev->Pitch[i] >= 0; ++i) {
    const int32_t a = accidentalTop(staffPosition(prev->Pitch[i]).index());
    if (down) {
      blit(Glyph::TieDown, x - 35, a);
    } else {
      blit(Glyph::Tie, x - 35, a - 40);
    }
  }
}

void PageRenderer::drawTupletBracket(const TOnpu& record, int32_t x) {
  int32_t lowest = kNoPitch;
  const TOnpu* r = &record;
  for (int i = 0; i < record.RenCount && r != nullptr && isNoteOrRest(*r); ++i, r = r->Prev) {
    const int32_t bottom = r->Pitch[std::clamp(r->LastIndex, 0, kPitchSlots - 1)];
    if (bottom > 0) lowest = std::min(lowest, bottom);
  }
  const int32_t a = accidentalTop(staffPosition(lowest).index());
  const int32_t span = record.RenCount * record.Width;
  const int32_t xr = x + record.Width - 35;
  const int32_t xl = xr - span + kCellWidth;
  if (xl >= kMusicLeft) {
    picture_.line(xr, a + 30, xr, a + 32);
    picture_.line(xr, a + 32, xl, a + 32);
    picture_.line(xl, a + 32, xl, a + 30);
  } else {
    // The group began on an earlier page.
    picture_.line(kMusicLeft, a + 32, xr, a + 32);
    picture_.line(xr, a + 32, xr, a + 30);
  }
  picture_.number(record.RenCount, x + record.Width - span / 2, a + 33);
}

}  // namespace kelvara
