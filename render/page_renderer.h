#pragma once

#include <cstdint>

#include "render/glyph_table.h"
#include "render/score_picture.h"
#include "score/editor_state.h"
#include "score/score_drawing.h"
#include "score/score_view.h"

namespace kelvara {

// Staff geometry of the glyph pictures (pixels of the score picture).
struct StaffPosition {
  int32_t letter;  // 0..6 = F G A B C D E
  int32_t group;   // octave group, letters F..E
  int32_t index() const { return 7 * group + letter; }
};
// Plain staff position of a pitch: black keys on the letter below.
StaffPosition staffPosition(int32_t pitch);
inline int32_t stemUpTop(int32_t n) {
  return 432 - 8 * n;
}
inline int32_t stemDownTop(int32_t n) {
  return 495 - 8 * n;
}
inline int32_t accidentalTop(int32_t n) {
  return 485 - 8 * n;
}
// Highest pitch from which a note is drawn with its stem down.
constexpr int32_t kStemDownFrom = 68;

// Lays out and draws pages of the work part into the score picture.
class PageRenderer : public ScoreDrawing {
 public:
  PageRenderer(EditorState& state, ScoreView& view, const GlyphTable& glyphs);

  // The score picture starts as the blank page, with the view as wide.
  void initPicture();
  // Draws the start-up furniture of the empty page: clef, time and key
  // signature and the start bar line.
  void drawStartupFurniture();

  int32_t DrawGakuhu() override;
  int32_t DrawFromIti() override;
  int32_t PageDraw() override;
  bool ChkGakuhu() override;
  bool ChkGakuhu2() override;
  void RedrawPage() override;
  void wipeStaff(int32_t x, int32_t width) override;
  void DrawTyou() override;
  void DrawSel() override;
  void resetPictureWidth() override;

  // Width in pixels a record of `length` 64ths needs at the cursor's bar position.
  int32_t CountWidth(int32_t length);
  // The bar step: adds a piece to the bar fill; a full bar gets its bar line
  // and number at the piece's cell.
  void ChkSyousetu(int32_t piece, int32_t offset);

  // Shows the previous or next page without moving the cursor.
  void BitBtn9Click();
  void BitBtn10Click();

  // Furniture.
  void Draw5sen();
  void DrawTohekigou();
  void DrawHyoushi();

  // Glyphs of one record: the cursor record of the work part at CursorX.
  void DrawOnpu();
  int32_t DrawOnpu_u(int32_t side, int32_t y, int inner, int32_t length);
  int32_t DrawOnpu_d(int32_t side, int32_t y, int inner, int32_t length);
  int32_t Drawkyuuhu(int32_t length, int inner);
  void Chksen(int32_t x, int32_t y);

  const ScorePicture& picture() const { return picture_; }
  ScorePicture& picture() { return picture_; }

 private:
  struct DrawLoopEnd {
    TOnpu* stop;
  };
  struct BarPosition {
    TOnpu* node;
    int32_t bar;
    int32_t fill;
  };
  BarPosition seekBar(BarPosition from, int32_t target) const;
  DrawLoopEnd drawLoop(TOnpu* from);
  void setPageButtons(const TOnpu* stop);
  void clearRest();
  void redrawWholePage();
  void drawFurnitureOverClef();
  int32_t pieceSize(int32_t left) const;
  int32_t drawPitch(int32_t side, int32_t y, int inner, int32_t length, bool down);
  bool widenBy(int32_t amount);
  void autoScroll(int32_t scrollBefore);
  void showPage(int32_t scrollBefore);
  void showPage();
  void toPageAndBack(int32_t targetBar);
  int64_t sumWidthsFrom(const TOnpu* node) const;

  // The accidental to draw in front of one pitch, and where it is spelled.
  enum class Sign { None, Sharp, Flat, Natural };
  Sign decideAccidental(int32_t pitch, StaffPosition& pos, TOnpu& record);
  void drawIncomingArcs(const TOnpu& record, int32_t x);
  void drawTupletBracket(const TOnpu& record, int32_t x);

  void blit(Glyph glyph, int32_t x, int32_t y, ScorePicture::Mode mode = ScorePicture::Mode::And);

  EditorState& s_;
  ScoreView& view_;
  const GlyphTable& glyphs_;
  ScorePicture picture_;
};

}  // namespace kelvara
