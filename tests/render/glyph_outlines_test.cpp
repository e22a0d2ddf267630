#include "render/glyph_outlines.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kelvara {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(GlyphOutlines, EveryScoreGlyphHasTheShapesItWasDrawnFrom) {
  GlyphOutlines outlines;
  ASSERT_EQ(outlines.load(SOURCE_DIR "/onpu"), "");
  for (int i = 0; i < static_cast<int>(Glyph::Keyboard1); ++i) {
    const PictureOutline& shape = outlines[static_cast<Glyph>(i)];
    EXPECT_TRUE(!shape.rects.empty() || !shape.curves.isEmpty() || !shape.glyphs.empty())
        << glyphFileName(static_cast<Glyph>(i));
  }
  // The black head: the font's glyph, 20 pixels wide like its picture's head.
  const PictureOutline& head = outlines[Glyph::BlackHead];
  ASSERT_EQ(head.glyphs.size(), 1u);
  EXPECT_NEAR(head.glyphs[0].outline.boundingRect().width(), 20.0, 0.5);
  EXPECT_EQ(outlines[Glyph::StaffTile].rects.size(), 10u);
}

// A damaged outline file or font is refused with the file's name, whatever
// is wrong with it; nothing of it is kept.
TEST(GlyphOutlines, RefusesDamagedFiles) {
  const fs::path folder =
      fs::temp_directory_path() / ("kelvara-outlines-" + std::to_string(::getpid()));
  const std::string good = readAll(SOURCE_DIR "/onpu/outlines.txt");
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"no picture of the black head",
       [&] {
         std::string t = good;
         const size_t at = t.find("picture kuro.bmp");
         return t.replace(at, 16, "picture other.bmp");
       }()},
      {"a number that is none", good + "picture kuro.bmp\nrect 1 2 x 4\nend\n"},
      {"a number far too large", good + "picture kuro.bmp\nrect 1 2 1e300 4\nend\n"},
      {"an unknown word", good + "circle 1 2 3\n"},
      {"a glyph past the font's end", good + "picture kuro.bmp\nglyph music 999999 0 0 1 1\nend\n"},
      {"a font not named before", good + "picture kuro.bmp\nglyph other 5 0 0 1 1\nend\n"},
      {"a font outside the folder", "font music ../kelvara-music.ttf\n" + good},
      {"a font that is no font", "font music outlines.txt\n" + good},
      {"a path step of another kind", good + "picture tai.bmp\npath M 1 2 Q 3 4\nend\n"},
  };
  for (const auto& c : cases) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* font : {"kelvara-music.ttf", "kelvara-brace.ttf"}) {
      fs::copy_file(fs::path(SOURCE_DIR "/onpu") / font, folder / font);
    }
    std::ofstream(folder / "outlines.txt", std::ios::binary) << c.text;
    GlyphOutlines outlines;
    const std::string error = outlines.load(folder.string());
    EXPECT_NE(error.find("outlines.txt"), std::string::npos) << c.what << ": " << error;
    EXPECT_FALSE(outlines[Glyph::BlackHead].present) << c.what;
  }
  fs::remove_all(folder);
  GlyphOutlines none;
  EXPECT_NE(none.load(folder.string()), "");
}

}  // namespace
}  // namespace kelvara
