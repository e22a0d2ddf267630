#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sound/soundfont_search.h"

namespace kelvara::testing {
namespace {

namespace fs = std::filesystem;

TEST(SoundFontChoice, OptionTakesEitherFormAndWinsOverTheEnvironment) {
  std::vector<std::string> args = {"--settings", "a.ini", "--soundfont", "x.sf2", "score.zqf3"};
  EXPECT_EQ(takeSoundFontArgument(args), "x.sf2");
  EXPECT_EQ(args, (std::vector<std::string>{"--settings", "a.ini", "score.zqf3"}));

  args = {"--soundfont=/a b/y.sf2"};
  EXPECT_EQ(takeSoundFontArgument(args), "/a b/y.sf2");
  EXPECT_TRUE(args.empty());

  args = {"--soundfont"};
  EXPECT_EQ(takeSoundFontArgument(args), "");
  args = {"other"};
  EXPECT_FALSE(takeSoundFontArgument(args).has_value());

  EXPECT_EQ(namedSoundFont(std::string("cli.sf2"), "env.sf2"), "cli.sf2");
  EXPECT_EQ(namedSoundFont(std::nullopt, "env.sf2"), "env.sf2");
  EXPECT_EQ(namedSoundFont(std::string(), "env.sf2"), "env.sf2");
  EXPECT_EQ(namedSoundFont(std::nullopt, nullptr), "");
}

TEST(SoundFontChoice, FullGeneralMidiSetComesFirstThenTheSmallOneThenOthers) {
  const fs::path a = fs::path(::testing::TempDir()) / "kelvara-sf-a";
  const fs::path b = fs::path(::testing::TempDir()) / "kelvara-sf-b";
  fs::remove_all(a);
  fs::remove_all(b);
  fs::create_directories(a);
  fs::create_directories(b);
  for (const fs::path& f : {a / "Zeta.sf2", a / "TimGM6mb.sf2", a / "notes.txt", b / "Alpha.sf3",
                            b / "FluidR3_GM.sf2"}) {
    std::ofstream(f) << "x";
  }
  fs::create_symlink(b / "FluidR3_GM.sf2", a / "default-GM.sf2");  // the same file again

  const std::vector<std::string> found = findSoundFonts({a.string(), b.string(), "/nonexistent"});
  EXPECT_EQ(found, (std::vector<std::string>{
                       (b / "FluidR3_GM.sf2").string(), (a / "TimGM6mb.sf2").string(),
                       (a / "Zeta.sf2").string(), (b / "Alpha.sf3").string()}));
  fs::remove_all(a);
  fs::remove_all(b);
}

}  // namespace
}  // namespace kelvara::testing
