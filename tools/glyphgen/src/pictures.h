// Producers of the picture set in onpu/.
#pragma once

#include <string>

class MusicFont;

// All notation pictures: notes, rests, accidentals, digits, ties, staff
// tiles, the blank page and the clef area, and beside them the outline file
// (outlines.txt) with the two fonts it names, from which the printed pages
// draw the same shapes as vectors. At a `scale` of 2 or 4 the same pictures
// at that many times the resolution go to DIR/2x or DIR/4x as greyscale PNG
// files of the same stems (the outline file is written at scale 1 only).
// Returns the number of pictures.
int writeNotationPictures(const MusicFont& music, const MusicFont& braces, const std::string& dir,
                          int scale = 1);

// The seven on-screen keyboard frames k1..k7.
int writeKeyboardFrames(const std::string& dir);
