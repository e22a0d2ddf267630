// Producers of the picture set in onpu/.
#pragma once

#include <string>

class MusicFont;

// All notation pictures: notes, rests, accidentals, digits, ties, staff
// tiles, the blank page and the clef area, and beside them the outline file
// (outlines.txt) with the two fonts it names, from which the printed pages
// draw the same shapes as vectors. Returns the number of pictures.
int writeNotationPictures(const MusicFont& music, const MusicFont& braces, const std::string& dir);

// The seven on-screen keyboard frames k1..k7.
int writeKeyboardFrames(const std::string& dir);
