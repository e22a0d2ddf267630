#include "render/page_renderer.h"
#include "score/standard_notation.h"

namespace kelvara {

namespace {

struct KeySign {
  int32_t threshold;
  int32_t letter;  // 0..6 = F G A B C D E
  int32_t x, y;
};

// Sharps are drawn while KeySig < threshold, flats while KeySig > threshold.
constexpr KeySign kSharps[] = {{7, 0, 110, 92},  {6, 4, 120, 116}, {5, 1, 130, 84},
                               {4, 5, 140, 108}, {3, 2, 150, 132}, {2, 6, 160, 100},
                               {1, 3, 170, 124}};
constexpr KeySign kFlats[] = {{7, 3, 110, 121},  {8, 6, 120, 97},   {9, 2, 130, 129},
                              {10, 5, 140, 105}, {11, 1, 150, 137}, {12, 4, 160, 113},
                              {13, 0, 170, 89}};

constexpr int32_t kCursorBottom = kScoreHeight - 1;

}  // namespace

void PageRenderer::Draw5sen() {
  blit(Glyph::Page, 0, 0, ScorePicture::Mode::Copy);
}

void PageRenderer::DrawTohekigou() {
  if (drawsPercussionStaff(s_, s_.WorkPart)) {
    drawPercussionClef();
    return;
  }
  blit(Glyph::Clef, 0, 0, ScorePicture::Mode::Copy);
}

void PageRenderer::DrawHyoushi() {
  switch (s_.TimeDen) {
    case 2:
      blit(Glyph::Digit2, timeSignatureX(), 144);
      break;
    case 4:
      blit(Glyph::Digit4, timeSignatureX(), 144);
      break;
    case 8:
      blit(Glyph::Digit8, timeSignatureX(), 144);
      break;
    default:
      break;
  }
  switch (s_.TimeNum) {
    case 2:
      blit(Glyph::Digit2, timeSignatureX(), 112);
      break;
    case 3:
      blit(Glyph::Digit3, timeSignatureX(), 112);
      break;
    case 4:
      blit(Glyph::Digit4, timeSignatureX(), 112);
      break;
    case 6:
      blit(Glyph::Digit6, timeSignatureX(), 112);
      break;
    case 9:
      blit(Glyph::Digit9, timeSignatureX(), 112);
      break;
    default:
      break;
  }
}

void PageRenderer::DrawTyou() {
  s_.AccState.fill(0);
  // Standard notation puts the key signature before the time signature, and
  // none on the percussion staff.
  const bool signs = !drawsPercussionStaff(s_, s_.WorkPart);
  const int32_t shift = keySignatureShift();
  for (const KeySign& sign : kSharps) {
    if (s_.KeySig < sign.threshold) {
      if (signs) blit(Glyph::Sharp, sign.x + shift, sign.y);
      s_.AccState[sign.letter] = 1;
    }
  }
  for (const KeySign& sign : kFlats) {
    if (s_.KeySig > sign.threshold) {
      if (signs) blit(Glyph::Flat, sign.x + shift, sign.y);
      s_.AccState[sign.letter] = -1;
    }
  }
  blit(Glyph::BarLineTile, 203, 0);
}

void PageRenderer::DrawSel() {
  // An end on an earlier page shows at the start of the music, one on a
  // later page at the end of the page's content.
  auto endX = [&](int32_t page, int32_t x) {
    if (page < s_.PageFirstBar) return kMusicLeft;
    if (page > s_.PageFirstBar) return s_.EndX;
    view_.invertLine({x, 0, x, kCursorBottom});
    return x;
  };
  const int32_t left = endX(s_.SelAnchorPage, s_.SelAnchorX);
  const int32_t right = endX(s_.SelEndPage, s_.SelEndX);
  if (left != right) {
    view_.invertLine({left, 0, right, 0});
    view_.invertLine({left, kCursorBottom, right, kCursorBottom});
  }
}

}  // namespace kelvara
