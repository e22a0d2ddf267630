// The settings file from odd places: devices, pipes, failing folders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "editor/settings_file.h"

namespace kelvara {
namespace {

namespace fs = std::filesystem;

class SettingsPlaces : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kelvara-places-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  fs::path dir;
};

TEST_F(SettingsPlaces, DevicesAndPipesGiveTheDefaultsWithoutWaiting) {
  // /dev/zero once ran the start out of memory; a pipe hung it.
  SettingsReadResult r = readSettingsFile("/dev/zero", 1, true);
  EXPECT_EQ(r.values.BlinkCursor, Settings{}.BlinkCursor);
  EXPECT_NE(r.notice.find("/dev/zero"), std::string::npos) << r.notice;
  ASSERT_EQ(::mkfifo(path("klv.ini").c_str(), 0600), 0);
  r = readSettingsFile(path("klv.ini"), 1, false);
  EXPECT_NE(r.notice.find("通常のファイルではありません"), std::string::npos) << r.notice;
  EXPECT_EQ(r.values.PadChoice, Settings{}.PadChoice);

  std::ofstream(path("huge.ini")) << std::string(kMaxSettingsFileBytes + 1, ' ');
  r = readSettingsFile(path("huge.ini"), 1, true);
  EXPECT_NE(r.notice.find("上限"), std::string::npos) << r.notice;
}

TEST_F(SettingsPlaces, FolderThatCannotBeMadeIsNamedWithItsCause) {
  std::ofstream(path("blocker")) << "a file";
  std::string error = writeSettingsFile(path("blocker") + "/kelvara/klv.ini", Settings{});
  EXPECT_NE(error.find("blocker はフォルダではありません"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(path("blocker") + "/kelvara"));
}

TEST_F(SettingsPlaces, FailedWriteLeavesNoEmptyFolder) {
  // A name longer than the file system allows fails after the folders were made.
  const std::string file = path("config/kelvara/") + std::string(300, 'k');
  const std::string error = writeSettingsFile(file, Settings{});
  EXPECT_NE(error.find("を作成できません"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(path("config")));
}

TEST_F(SettingsPlaces, SymlinkedSettingsFileStaysALink) {
  fs::create_directory(dir / "dotfiles");
  std::ofstream(path("dotfiles/klv.ini")) << "0\r\n";
  fs::create_symlink(dir / "dotfiles" / "klv.ini", dir / "klv.ini");
  Settings s;
  s.MidiDevice = 0;
  s.BlinkCursor = 0;
  ASSERT_EQ(writeSettingsFile(path("klv.ini"), s), "");
  EXPECT_TRUE(fs::is_symlink(dir / "klv.ini"));
  EXPECT_EQ(readSettingsFile(path("dotfiles/klv.ini"), 1, true).values.BlinkCursor, 0);
}

}  // namespace
}  // namespace kelvara
