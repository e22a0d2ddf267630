#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "render/glyph_table.h"
#include "render/score_picture.h"
#include "score/editor_state.h"
#include "score/notation_groups.h"
#include "score/score_drawing.h"
#include "score/score_view.h"
#include "score/spelling.h"

namespace kelvara {

// Staff geometry of the glyph pictures (pixels of the score picture).
struct StaffPosition {
  int32_t letter;  // 0..6 = F G A B C D E
  int32_t group;   // octave group, letters F..E
  int32_t index() const { return 7 * group + letter; }
};
// Plain staff position of a pitch: black keys on the letter below.
StaffPosition staffPosition(int32_t pitch);
// Whether the staff holds the pitch: its note head lies whole on the score
// picture (A0 = 21 up to E7 = 100).
bool staffHoldsPitch(int32_t pitch);
inline int32_t stemUpTop(int32_t n) {
  return 432 - 8 * n;
}
inline int32_t stemDownTop(int32_t n) {
  return 495 - 8 * n;
}
inline int32_t accidentalTop(int32_t n) {
  return 485 - 8 * n;
}

// The rest picture of a power-of-two value in 64ths.
Glyph restGlyph(int32_t size);

// Highest pitch from which a note is drawn with its stem down.
constexpr int32_t kStemDownFrom = 68;
// Where a note's parts stand in its cell: the head centre below the top of a
// head glyph, the stem's two columns right of the head (stem up) or left of
// it (stem down), and the stem's length from the head centre (seven staff
// steps, as the flagged glyphs draw it).
constexpr int32_t kHeadRow = 72;
// The top of every rest picture (y).
constexpr int32_t kRestTop = 96;
constexpr int32_t kStemUpX = 48;
constexpr int32_t kStemDownX = 30;
constexpr int32_t kStemLength = 56;
// The middle lines of the two staves (y). In standard notation a stem up
// from far below the lower staff reaches its middle line, a stem down from
// far above the upper staff that staff's.
constexpr int32_t kTrebleMiddleY = 144;
constexpr int32_t kBassMiddleY = 240;
// The first row below the upper staff's bottom line: where the percussion
// staff's lines end.
constexpr int32_t kPercussionStaffEnd = 177;
// Where the percussion staff's lines start: its opening line, no brace.
constexpr int32_t kPercussionStaffLeft = 16;

// Lays out and draws pages of the work part into the score picture.
class PageRenderer : public ScoreDrawing {
 public:
  PageRenderer(EditorState& state, ScoreView& view, const GlyphTable& glyphs);

  // The score picture starts as the blank page, with the view as wide.
  void initPicture();
  // Draws the start-up furniture of the empty page: clef, time and key
  // signature and the start bar line.
  void drawStartupFurniture();

  // Lays out and draws the page that holds the cursor's bar; returns EndX.
  int32_t DrawGakuhu() override;
  // DrawGakuhu for the page that begins at `firstBar` instead of the cursor's
  // page, so that a bar lying wholly inside one long note can be drawn too. The
  // cursor must be on that page or be the first record after it.
  int32_t drawPageFrom(int32_t firstBar);
  // Redraws from the cursor to the end of the page; returns EndX.
  int32_t DrawFromIti() override;
  // Clears and redraws the whole page with its furniture and shows it.
  int32_t PageDraw() override;
  // Widens the picture by one step when the first page does not fit.
  bool ChkGakuhu() override;
  // Widens the picture as often as the displayed page needs.
  bool ChkGakuhu2() override;
  // Redraws the whole page without widening it or showing it.
  void RedrawPage() override;
  // Paints the blank staff over [x, x + width) in whole 70-pixel tiles.
  void wipeStaff(int32_t x, int32_t width) override;
  // Draws the key signature (tyou) and the start bar line; sets AccState.
  void DrawTyou() override;
  // Toggles the selection frame on the view.
  void DrawSel() override;
  // Shrinks the score picture and the view back to one page's width.
  void resetPictureWidth() override;

  // The bar step: adds a piece to the bar fill; a full bar gets its bar line
  // and number at the piece's cell.
  void ChkSyousetu(int32_t piece, int32_t offset);

  // Shows the previous page without moving the cursor.
  void BitBtn9Click();
  // Shows the next page without moving the cursor.
  void BitBtn10Click();

  // Furniture.
  // Puts the blank page with its staff lines (5sen) into the score picture.
  void Draw5sen();
  // Draws the clefs (tohekigou) with the staff's start.
  void DrawTohekigou();
  // Draws the time signature (hyoushi) digits.
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

  // Draws the cursor record (onpu: a note or chord, or a rest) of the work
  // part at CursorX.
  void DrawOnpu();
  // One pitch of a stem-up or stem-down chord at staff index n, side offset
  // `side` (0: the note carrying stem and flags; below 0: a displaced head).
  // DrawOnpu_u draws it with the stem up, DrawOnpu_d with the stem down.
  void DrawOnpu_u(int32_t side, int32_t n, const RecordPieces& pieces, const ChordGeometry& g);
  void DrawOnpu_d(int32_t side, int32_t n, const RecordPieces& pieces, const ChordGeometry& g);
  // Draws a rest (kyuuhu) of the record's note values.
  void Drawkyuuhu(const RecordPieces& pieces);
  // Draws every ledger line (sen) a head at staff index n needs, under a head glyph drawn at x.
  void Chksen(int32_t x, int32_t n);

  // Standard notation: the bar number written at the start of the line (the
  // page's first bar), over the clef.
  void drawLineStartNumber();

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
  // Standard notation: the staff furniture, accidentals and drums (standard_staff.cpp).
  int32_t keySignatureShift() const;
  int32_t timeSignatureX() const;
  void keepAccidentalsToBarLine(TOnpu& r);
  void drawCrossHead(int32_t x, int32_t n);
  // The open hi-hat's mark: a small circle centred at (x, y).
  void drawOpenMark(int32_t x, int32_t y);
  // The heads of a drum chord, highest first; a head a step below the one
  // above it (itself left of the stem) stands right of the stem.
  struct DrumHead {
    int32_t n;  // staff index of its drum-set place
    bool cross;
    bool open;
    bool right;
  };
  static std::vector<DrumHead> drumHeads(const TOnpu& r);
  // The x shift of a chord with heads on both sides of its stem (0 when it
  // has none): the whole chord moves so that those heads stay in the cell.
  int32_t chordShift(const TOnpu& r, bool down) const;
  // How many pixels the stem of `glyph`, drawn for a head at staff index n,
  // must grow to reach the middle line (0 when it does already).
  int32_t stemExtension(Glyph glyph, int32_t n, bool down) const;
  // A note of `size` whose stem reaches the middle line, its head drawn at x
  // (as a head glyph) and its stem and flags as lines.
  void drawLongStem(int32_t size, int32_t x, int32_t n, bool down);
  // The flags of a stem two pixels wide at stemX that ends at y `end`: each
  // leaves the stem's end away from it and bends back, to the right.
  void drawFlags(int32_t stemX, int32_t end, int32_t flags, bool down);
  // The highest row a drum note or rest inks on the percussion staff when
  // not beamed: its stem's end, flags and open mark, or its head or rest.
  int32_t drumInkTop(const TOnpu& r) const;
  // Whether the stem of an unbeamed note record points down: from pitch
  // kStemDownFrom on in the usual drawing, from the staff's middle line in
  // standard notation.
  bool loneStemDown(const TOnpu& r) const;
  // A tuplet bracket above the percussion staff's stems, its count over it.
  void drawDrumTupletBracket(const TOnpu& record, int32_t x);
  // The bracket line of the tuplet ending with `record` (drawn at x) at row
  // y, its ends bent by `tick` rows, and its count with its top at numberY.
  void drawTupletLine(const TOnpu& record, int32_t x, int32_t y, int32_t tick, int32_t numberY);
  // The clef area of the percussion staff, drawn instead of the clef picture.
  void drawPercussionClef();
  void drawPercussionChord(const TOnpu& r, const RecordPieces& pieces);

  // The accidental to draw in front of one pitch, and where it is spelled.
  using Sign = AccidentalSign;
  Sign decideAccidental(int32_t pitch, StaffPosition& pos, TOnpu& record);
  void drawIncomingArcs(const TOnpu& record, int32_t x);
  void drawTupletBracket(const TOnpu& record, int32_t x);

  void blit(Glyph glyph, int32_t x, int32_t y, ScorePicture::Mode mode = ScorePicture::Mode::And);

  // Standard notation (standard_notation.cpp): dotted values, beams drawn as
  // lines, one stem direction per beam group.
  NotationMeter notationMeter() const;
  // The record's cell pieces written as dotted values where they may be.
  std::vector<GlyphPiece> dottedGlyphs(const std::vector<int32_t>& cells, int32_t fill) const;
  // The beam group of the record at the cursor; empty when it keeps its flag
  // or standard notation is off.
  const BeamGroup& beamGroupAtCursor(const TOnpu& record);
  // Drops the group kept for the next member; records may have changed.
  void forgetBeamGroup();
  BeamGroup lastBeamGroup_;
  // Where lastBeamGroup_ is drawn, x from its first member's left edge.
  struct BeamGeometry {
    bool valid = false;
    std::vector<int32_t> left;   // each member's left edge
    std::vector<int32_t> stemX;  // each member's stem
    std::vector<int32_t> tip;    // where each stem would end alone (y)
    double at = 0;               // the tip line: y = at + slope * (x - stemX[0])
    double slope = 0;
  };
  BeamGeometry beamGeometry_;
  // The stem of the record at the cursor from its farthest head to the beam,
  // and the beams' part inside the record's cells. `staff` holds the staff
  // index of each chord note, highest first.
  // Returns the y of the stem's end on the beam.
  int32_t drawBeams(const BeamGroup& group, const std::array<int32_t, kPitchSlots>& staff,
                    int last);
  // The staff index of the head of a beamed member nearest to its beam: the
  // highest (stem up) or lowest (stem down) note, a drum chord's highest place.
  int32_t beamNearIndex(const TOnpu& r, bool down) const;
  // The body of DrawFromIti: redraws from the cursor record on.
  int32_t drawFromCursor();
  // Moves the cursor state back to the first record of the beam group before
  // the cursor (its stems and beams depend on what follows); returns how
  // many records it went back.
  int stepBackToBeamStart();
  // Moves the cursor state on over `count` records.
  void stepForward(int count);
  bool beamed_ = false;      // the record being drawn is beamed: heads without stems
  int32_t beamBottom_ = -1;  // lowest row of its group's beams when they hang below
  int32_t beamTop_ = -1;     // highest row of its group's beams when they stand above

  EditorState& s_;
  ScoreView& view_;
  const GlyphTable& glyphs_;
  ScorePicture picture_;
};

}  // namespace kelvara
