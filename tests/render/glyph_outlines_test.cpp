#include "render/glyph_outlines.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
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

// The 2x and 4x sets hold every score glyph at exactly that many times the
// size of its 1x picture; a folder without them has none, and says which file.
TEST(GlyphOutlines, TheLargerSetsAreTheGlyphsAtTwiceAndFourTimesTheSize) {
  GlyphTable glyphs;
  ASSERT_EQ(glyphs.load(SOURCE_DIR "/onpu"), "");
  for (const int k : {2, 4}) {
    const GlyphTable* set = glyphs.scaled(k);
    ASSERT_NE(set, nullptr) << glyphs.scaledError(k);
    EXPECT_EQ(set, glyphs.scaled(k));  // read once
    EXPECT_EQ(set->scale(), k);
    for (int i = 0; i < static_cast<int>(Glyph::Keyboard1); ++i) {
      const auto g = static_cast<Glyph>(i);
      EXPECT_EQ((*set)[g].size(), glyphs[g].size() * k) << glyphFileName(g);
      // The ink where the 1x picture has it, give or take a 1x pixel.
      const QRect ink = set->ink(g);
      const QRect small = glyphs.ink(g);
      EXPECT_LE(std::abs(ink.left() - k * small.left()), k) << glyphFileName(g);
      EXPECT_LE(std::abs(ink.bottom() - k * small.bottom() - (k - 1)), k) << glyphFileName(g);
    }
  }
  EXPECT_EQ(glyphs.scaled(3), nullptr);

  const fs::path folder =
      fs::temp_directory_path() / ("kelvara-glyphs-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::copy(SOURCE_DIR "/onpu", folder, fs::copy_options::recursive);
  fs::remove(folder / "4x" / "kuro.png");
  GlyphTable partly;
  ASSERT_EQ(partly.load(folder.string()), "");
  EXPECT_NE(partly.scaled(2), nullptr);
  EXPECT_EQ(partly.scaled(4), nullptr);
  EXPECT_NE(partly.scaledError(4).find("kuro.png"), std::string::npos) << partly.scaledError(4);
  fs::remove_all(folder);
}

// A damaged outline file or font is refused with the file's name and the
// first line that is wrong, whatever is wrong with it; nothing of it is kept.
TEST(GlyphOutlines, RefusesDamagedFiles) {
  const fs::path folder =
      fs::temp_directory_path() / ("kelvara-outlines-" + std::to_string(::getpid()));
  const std::string good = readAll(SOURCE_DIR "/onpu/outlines.txt");
  // The first line after the good file's lines.
  const int after = static_cast<int>(std::count(good.begin(), good.end(), '\n')) + 1;
  std::string manyPictures = good;
  for (int i = 0; i < 300; ++i) manyPictures += "picture x.bmp 1 1\nend\n";
  const struct {
    const char* what;
    std::string text;
    int line;  // the line the error names; 0: none in particular
  } cases[] = {
      {"no picture of the black head",
       [&] {
         std::string t = good;
         const size_t at = t.find("picture kuro.bmp");
         return t.replace(at, 16, "picture other.bmp");
       }(),
       0},
      {"a number that is none", good + "picture x.bmp 70 82\nrect 1 2 x 4\nend\n", after + 1},
      {"a number with letters after it", good + "picture x.bmp 70 82\nrect 1 2 3abc 4\nend\n",
       after + 1},
      {"a number far too large", good + "picture x.bmp 70 82\nrect 1 2 1e300 4\nend\n", after + 1},
      {"a word too many", good + "picture x.bmp 70 82\nrect 1 2 3 4 5\nend\n", after + 1},
      {"a rectangle inside out", good + "picture x.bmp 70 82\nrect 3 2 1 4\nend\n", after + 1},
      {"an unknown word", good + "circle 1 2 3\n", after},
      {"a shape outside any picture", good + "rect 1 2 3 4\n", after},
      {"an end outside any picture", good + "end\n", after},
      {"a picture without its size", good + "picture x.bmp\nend\n", after},
      {"a picture twice", good + "picture kuro.bmp 70 82\nend\n", after},
      {"a picture cut off before its end", good + "picture x.bmp 70 82\nrect 1 2 3 4\n", after},
      {"a picture inside a picture", good + "picture x.bmp 1 1\npicture y.bmp 1 1\nend\n",
       after + 1},
      {"far too many pictures", manyPictures, after + 2 * (256 - 39)},
      {"a glyph past the font's end", good + "picture x.bmp 1 1\nglyph music 999999 0 0 1 1\nend\n",
       after + 1},
      {"a glyph of no size", good + "picture x.bmp 1 1\nglyph music 5 0 0 0 1\nend\n", after + 1},
      {"a font not named before", good + "picture x.bmp 1 1\nglyph other 5 0 0 1 1\nend\n",
       after + 1},
      {"a font named twice", "font music kelvara-music.ttf\n" + good, 5},
      {"a font outside the folder", "font music ../kelvara-music.ttf\n" + good, 1},
      {"a font that is no font", "font music outlines.txt\n" + good, 1},
      {"a path step of another kind", good + "picture x.bmp 1 1\npath M 1 2 Q 3 4\nend\n",
       after + 1},
      {"a path without steps", good + "picture x.bmp 1 1\npath\nend\n", after + 1},
      {"a path not starting with a move", good + "picture x.bmp 1 1\npath L 1 2\nend\n", after + 1},
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
    if (c.line > 0) {
      EXPECT_NE(error.find(std::to_string(c.line) + " 行目"), std::string::npos)
          << c.what << ": " << error;
    }
    EXPECT_FALSE(outlines[Glyph::BlackHead].present) << c.what;
  }
  fs::remove_all(folder);
  GlyphOutlines none;
  EXPECT_NE(none.load(folder.string()), "");
}

}  // namespace
}  // namespace kelvara
