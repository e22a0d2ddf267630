// Geometry the editor relies on when it blits the pictures. The editor
// positions every picture by its top-left corner, so these numbers fix where
// the ink has to be inside each picture.
#pragma once

namespace layout {

constexpr double kSpace = 16.0;  // staff space in pixels (one step = 8)
constexpr int kScoreHeight = 384;
constexpr int kCellWidth = 70;
constexpr int kPageWidth = 742;
constexpr int kClefAreaWidth = 210;
constexpr int kBarTileWidth = 7;

// Rows of the grand staff lines, top to bottom (F5 D5 B4 G4 E4, A3 F3 D3 B2 G2).
constexpr int kStaffRows[10] = {112, 128, 144, 160, 176, 208, 224, 240, 256, 272};
constexpr int kTrebleTop = 112;
constexpr int kTrebleG4 = 160;
constexpr int kBassF3 = 224;
constexpr int kBassBottom = 272;

constexpr double kLineThickness = 1.0;
constexpr double kStemWidth = 2.0;

// Note pictures: the head occupies columns 30..49, centred on x = 40.
constexpr double kHeadLeft = 30.0;
constexpr double kHeadRight = 50.0;
constexpr double kHeadCentreX = 40.0;
constexpr int kNoteWidth = 70;
constexpr int kNoteHeight = 82;
constexpr double kUpHeadY = 72.5;   // stem-up and bare heads: head on row 72
constexpr double kDownHeadY = 9.5;  // stem-down: head on row 9

// Accidentals: sign centre on row 19 (flat: bowl centre on row 22), ink
// right-aligned so it clears a head drawn 30 px to the right of the picture.
constexpr double kAccidentalY = 19.5;
constexpr double kFlatY = 22.5;
constexpr double kAccidentalRight = 14.0;

// Rest pictures are placed 96 px down the score: treble lines at these rows.
constexpr int kRestTop = 96;

}  // namespace layout
