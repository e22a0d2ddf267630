#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "editor/settings_file.h"
#include "files/atomic_write.h"

namespace kelvara {
namespace {

namespace fs = std::filesystem;

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kelvara-settings-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir);
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  void write(const std::string& name, const std::string& text) {
    std::ofstream(path(name), std::ios::binary) << text;
  }
  std::string read(const std::string& name) {
    std::string text;
    readWholeFile(path(name), text);
    return text;
  }
  fs::path dir;
};

Settings sample() {
  Settings s;
  s.MidiDevice = 2;
  for (int i = 0; i < 10; ++i) s.Programs[i] = 10 * i + 3;
  s.BlinkCursor = 0;
  s.UpDownAction = 1;
  s.PadChoice = {38, 42, 46, -1, 0, 1, 2, 3, 4, 5, 6, 46};
  return s;
}

TEST_F(SettingsFile, WritesTwentyFiveLinesWithCrLfAndReadsThemBack) {
  const Settings s = sample();
  ASSERT_EQ(writeSettingsFile(path("klv.ini"), s), "");
  const std::string text = read("klv.ini");
  EXPECT_EQ(text.substr(0, 10), "2\r\n3\r\n13\r\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kSettingsValues);
  EXPECT_NE(text.find("\r\n-1\r\n"), std::string::npos);

  const SettingsReadResult back = readSettingsFile(path("klv.ini"), 3, true);
  EXPECT_TRUE(back.notice.empty()) << back.notice;
  EXPECT_EQ(back.values.MidiDevice, 2);
  EXPECT_EQ(back.values.Programs, s.Programs);
  EXPECT_EQ(back.values.BlinkCursor, 0);
  EXPECT_EQ(back.values.UpDownAction, 1);
  EXPECT_EQ(back.values.PadChoice, s.PadChoice);
}

TEST_F(SettingsFile, ReadsAnySeparatorsAndStopsAtCtrlZ) {
  const SettingsReadResult r = parseSettings("0 5\t6\n7 8 9 10 11 12 13 14 0 1 \x1A 99 99", 1);
  EXPECT_TRUE(r.notice.empty());
  EXPECT_EQ(r.values.Programs[0], 5);
  EXPECT_EQ(r.values.Programs[9], 14);
  EXPECT_EQ(r.values.BlinkCursor, 0);
  EXPECT_EQ(r.values.UpDownAction, 1);
  // Numbers missing at the end take their defaults.
  EXPECT_EQ(r.values.PadChoice[0], 0);
  EXPECT_EQ(r.values.PadChoice[11], 11);
}

TEST_F(SettingsFile, UnreadableValuesTakeTheirDefaultsAndTheUserIsToldOnce) {
  std::string text = formatSettings(sample());
  text.replace(text.find("13\r\n"), 2, "x3");  // program of part 1
  write("klv.ini", text);
  const SettingsReadResult r = readSettingsFile(path("klv.ini"), 3, false);
  EXPECT_EQ(r.values.Programs[1], 0);
  EXPECT_EQ(r.values.Programs[2], 23);  // later values keep their places
  EXPECT_EQ(r.values.PadChoice[0], 38);
  EXPECT_NE(r.notice.find(path("klv.ini")), std::string::npos);
}

TEST_F(SettingsFile, OutOfRangeValuesFallBackToDefaults) {
  Settings s = sample();
  s.MidiDevice = 7;     // no such device
  s.Programs[0] = 128;  // not a program
  s.Programs[1] = -3;
  s.BlinkCursor = 5;
  s.PadChoice[0] = 47;  // beyond "81 Open Triangle"
  s.PadChoice[1] = -2;
  const SettingsReadResult r = parseSettings(formatSettings(s), 3);
  EXPECT_EQ(r.values.MidiDevice, 0);
  EXPECT_EQ(r.values.Programs[0], 0);
  EXPECT_EQ(r.values.Programs[1], 0);
  EXPECT_EQ(r.values.BlinkCursor, 1);
  EXPECT_EQ(r.values.PadChoice[0], 0);
  EXPECT_EQ(r.values.PadChoice[1], 1);
  EXPECT_EQ(r.values.PadChoice[3], -1);  // "no item" stays
  // With no devices at all the device is 0.
  EXPECT_EQ(parseSettings("0", 0).values.MidiDevice, 0);
}

TEST_F(SettingsFile, MissingFileIsQuietUnlessTheUserNamedIt) {
  const SettingsReadResult quiet = readSettingsFile(path("none.ini"), 1, false);
  EXPECT_TRUE(quiet.notice.empty());
  EXPECT_EQ(quiet.values.BlinkCursor, 1);
  EXPECT_EQ(quiet.values.PadChoice[5], 5);
  const SettingsReadResult told = readSettingsFile(path("none.ini"), 1, true);
  EXPECT_NE(told.notice.find("none.ini"), std::string::npos);
}

TEST_F(SettingsFile, FailedWriteIsReportedAndLeavesTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
  write("klv.ini", "old");
  fs::permissions(dir, fs::perms::owner_write, fs::perm_options::remove);
  const std::string error = writeSettingsFile(path("klv.ini"), sample());
  EXPECT_NE(error.find("klv.ini"), std::string::npos);
  fs::permissions(dir, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(read("klv.ini"), "old");
}

TEST_F(SettingsFile, WriteWhereAFileBlocksTheFolderIsReported) {
  write("blocker", "not a folder");
  const std::string error = writeSettingsFile(path("blocker") + "/klv.ini", sample());
  EXPECT_NE(error.find("klv.ini"), std::string::npos);
  EXPECT_EQ(read("blocker"), "not a folder");
}

TEST_F(SettingsFile, WriteIntoAMissingFolderCreatesIt) {
  const std::string nested = (dir / "config" / "kelvara" / "klv.ini").string();
  EXPECT_EQ(writeSettingsFile(nested, sample()), "");
  EXPECT_TRUE(fs::exists(nested));
}

TEST_F(SettingsFile, WriteOverAFolderNameFails) {
  fs::create_directories(dir / "klv.ini");
  EXPECT_FALSE(writeSettingsFile(path("klv.ini"), sample()).empty());
}

TEST_F(SettingsFile, LocationPrefersCommandLineThenEnvironment) {
  ::setenv("KELVARA_SETTINGS", "/from/env.ini", 1);
  EXPECT_EQ(resolveSettingsLocation("/from/option.ini").path, "/from/option.ini");
  const SettingsLocation env = resolveSettingsLocation("");
  EXPECT_EQ(env.path, "/from/env.ini");
  EXPECT_TRUE(env.explicitPath);
  ::unsetenv("KELVARA_SETTINGS");
  const SettingsLocation usual = resolveSettingsLocation("");
  EXPECT_FALSE(usual.explicitPath);
  EXPECT_EQ(fs::path(usual.path).filename(), "klv.ini");
}

}  // namespace
}  // namespace kelvara
