// Writes the program's icon from the score glyphs: kelvara.svg and PNG
// pictures of the given sizes, for the desktop's icon theme.
//   icongen GLYPH_FOLDER OUT_FOLDER NAME SIZE...
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "render/app_icon.h"
#include "render/glyph_table.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: icongen GLYPH_FOLDER OUT_FOLDER NAME SIZE...\n");
    return 2;
  }
  kelvara::GlyphTable glyphs;
  if (const std::string error = glyphs.load(argv[1]); !error.empty()) {
    std::fprintf(stderr, "icongen: %s\n", error.c_str());
    return 1;
  }
  const std::string out = argv[2];
  const std::string name = argv[3];
  std::ofstream svg(out + "/" + name + ".svg", std::ios::binary);
  svg << kelvara::appIconSvg(glyphs);
  if (!svg.flush()) {
    std::fprintf(stderr, "icongen: cannot write %s/%s.svg\n", out.c_str(), name.c_str());
    return 1;
  }
  for (int i = 4; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    const std::string path = out + "/" + name + "-" + std::to_string(size) + ".png";
    if (size <= 0 || size > 1024 ||
        !kelvara::drawAppIcon(glyphs, size).save(QString::fromStdString(path), "PNG")) {
      std::fprintf(stderr, "icongen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
