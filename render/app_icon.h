#pragma once

#include <QImage>
#include <string>

namespace kelvara {

class GlyphTable;

// The name the desktop knows the program by: its launcher entry, icon and
// description are named after it.
constexpr const char* kAppId = "org.kelvara.Kelvara";

// The program's icon: two notes of the score glyphs on a staff, on a sheet
// of white paper. Drawn `size` pixels square.
QImage drawAppIcon(const GlyphTable& glyphs, int size);

// The same icon as an SVG document, scalable: the notes' ink as runs of
// pixels of the glyphs, the staff and the paper as shapes.
std::string appIconSvg(const GlyphTable& glyphs);

}  // namespace kelvara
