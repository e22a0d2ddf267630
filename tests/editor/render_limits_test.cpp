// kelvara render on files that once made it ask for gigabytes, and on the
// longest name a picture may have.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/render_command.h"

namespace kelvara {
namespace {

namespace fs = std::filesystem;

class RenderLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kelvara-render-limits-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  int render(const std::vector<std::string>& args) {
    out.str({});
    err.str({});
    return runRenderCommand(args, SOURCE_DIR "/onpu", out, err);
  }
  // A ".zqf3" of one note of `length` 64ths in part 0.
  void oneNote(const std::string& name, uint8_t num, uint8_t den, uint16_t length) {
    std::string b = {7,   0, static_cast<char>(num), static_cast<char>(den), 120, 0, 1, 0, 0,
                     100, 10};
    std::string note(34, '\0');
    note[0] = 60;
    for (int k = 1; k < 10; ++k) note[k] = '\xFF';
    note[13] = static_cast<char>(length & 0xFF);
    note[14] = static_cast<char>(length >> 8);
    note[24] = 4;
    note[32] = 4;
    std::string end(34, '\xFF');
    end[0] = '\xF6';
    std::ofstream(path(name), std::ios::binary) << b << note << end;
  }
  fs::path dir;
  std::ostringstream out, err;
};

TEST_F(RenderLimits, OneSixtyFourthTimeIsRefusedAtLoad) {
  oneNote("tiny.zqf3", 1, 64, 65535);  // 79 bytes that asked for 1.76 GB
  EXPECT_EQ(fs::file_size(path("tiny.zqf3")), 79u);
  EXPECT_EQ(render({path("tiny.zqf3"), path("page.png")}), 1);
  EXPECT_NE(err.str().find("1/64"), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(path("page.png")));
}

TEST_F(RenderLimits, LongestNameGetsItsPictureAndNothingElse) {
  oneNote("short.zqf3", 4, 4, 16);
  const std::string name = std::string(251, 'p') + ".png";
  ASSERT_EQ(render({path("short.zqf3"), path(name)}), 0) << err.str();
  EXPECT_TRUE(fs::exists(path(name)));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace kelvara
