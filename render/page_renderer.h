#pragma once

#include <array>
#include <cstdint>
#include <vector>

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
// The piece a note of `left` 64ths gets at `fill` 64ths into a bar: the
// largest note value that fits what is left, the bar and the rest of the bar.
inline int32_t pieceSizeAt(int32_t left, int32_t fill, int32_t barLen) {
  for (int32_t size : {64, 32, 16, 8, 4, 2}) {
    if (left >= size && barLen >= size && fill + size <= barLen) return size;
  }
  return 1;
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

  // Where the glyphs of one record go: one cell of 70 pixels per piece of
  // its length at its bar position (the group's span for a tuplet member),
  // and the note values drawn in those cells (a tuplet member's own length).
  struct GlyphPiece {
    int32_t size;  // note value in 64ths: 64, 32, ... 1
    int32_t dots;  // augmentation dots, 0..2
    int32_t dx;    // x of the glyph's cell, from the record's x
    bool tied;     // joined to the piece before by a tie
  };
  struct RecordPieces {
    std::vector<GlyphPiece> glyphs;
    int32_t width = 0;  // 70 x the cell count
  };
  // How one chord is set in its cells.
  struct ChordGeometry {
    bool down = false;   // stem down
    int32_t shift = 0;   // x shift of the whole chord, keeping displaced heads in the cell
    int32_t signX = 10;  // x of the accidentals, from the record's x
  };

  // Glyphs of one record: the cursor record of the work part at CursorX.
  void DrawOnpu();
  // One pitch of a stem-up or stem-down chord at staff index n, side offset
  // `side` (0: the note carrying stem and flags; below 0: a displaced head).
  void DrawOnpu_u(int32_t side, int32_t n, const RecordPieces& pieces, const ChordGeometry& g);
  void DrawOnpu_d(int32_t side, int32_t n, const RecordPieces& pieces, const ChordGeometry& g);
  // A rest of the record's note values.
  void Drawkyuuhu(const RecordPieces& pieces);
  // Every ledger line a head at staff index n needs, under a head glyph drawn at x.
  void Chksen(int32_t x, int32_t n);

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
  // Draws records from `from` to the page's end. Records lying wholly left of
  // `completeBefore` are only passed over (they are drawn already).
  DrawLoopEnd drawLoop(TOnpu* from, int32_t completeBefore);
  // Where the last draw loop began and how wide the picture was then; a
  // redraw after a widening from the same place draws only what was cut off.
  struct LoopStart {
    int32_t x;
    int32_t bar;
    int32_t fill;
    std::array<int32_t, kLetters> acc;
  };
  struct LastLoop {
    const TOnpu* from = nullptr;  // compared only, never followed
    int part = -1;
    int32_t width = 0;
    bool widened = false;  // the picture has grown since
    int32_t x = 0;
    int32_t bar = 0;
    int32_t fill = 0;
    std::array<int32_t, kLetters> acc{};
  };
  LastLoop lastLoop_;
  void setPageButtons(const TOnpu* stop);
  void clearRest();
  void redrawWholePage();
  void drawFurnitureOverClef();
  // Sizes in 64ths of the cells of the record at the cursor's bar position.
  std::vector<int32_t> cellSizes(const TOnpu& record) const;
  RecordPieces layOutRecord(const TOnpu& record, const std::vector<int32_t>& cells);
  void drawPitch(int32_t side, int32_t n, const RecordPieces& pieces, const ChordGeometry& g);
  void drawDots(int32_t x, int32_t y, int32_t dots);
  void drawChordStems(int last, const RecordPieces& pieces, const ChordGeometry& g,
                      const std::array<int32_t, kPitchSlots>& staff);
  bool widenBy(int32_t amount);
  void autoScroll(int32_t scrollBefore);
  void showPage(int32_t scrollBefore);
  void showPage();
  void toPageAndBack(int32_t targetBar);
  int32_t pageContentEnd() const;

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
