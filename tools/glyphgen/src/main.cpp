// glyphgen: writes the editor's notation and keyboard pictures.
//
//   glyphgen --font emmentaler-20.otf --brace-font emmentaler-brace.otf --out onpu
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "layout.h"
#include "musicfont.h"
#include "pictures.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: glyphgen --font MUSIC.otf --brace-font BRACE.otf --out DIR\n"
               "  MUSIC.otf  Emmentaler text-size font (e.g. emmentaler-20.otf)\n"
               "  BRACE.otf  Emmentaler brace font (emmentaler-brace.otf)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string font, braceFont, out;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--font") == 0 && hasValue) {
      font = argv[++i];
    } else if (std::strcmp(argv[i], "--brace-font") == 0 && hasValue) {
      braceFont = argv[++i];
    } else if (std::strcmp(argv[i], "--out") == 0 && hasValue) {
      out = argv[++i];
    } else {
      return usage();
    }
  }
  if (font.empty() || braceFont.empty() || out.empty()) return usage();

  try {
    std::filesystem::create_directories(out);
    // An Emmentaler em is the staff height: four staff spaces.
    const MusicFont music(font, "music", 1000.0 / 4, layout::kSpace);
    const MusicFont braces(braceFont, "brace", 1000.0 / 4, layout::kSpace);
    int files = 0;
    // The same pictures at one, two and four times the resolution.
    for (const int scale : {1, 2, 4}) files += writeNotationPictures(music, braces, out, scale);
    files += writeKeyboardFrames(out);
    std::printf("glyphgen: wrote %d pictures to %s\n", files, out.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "glyphgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
