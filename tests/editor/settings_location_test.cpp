// Where the settings file lives, and the one read of the place earlier
// versions used by default.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QByteArray>
#include <filesystem>
#include <fstream>

#include "editor/settings_file.h"

namespace kelvara {
namespace {

namespace fs = std::filesystem;

class SettingsLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config = fs::temp_directory_path() / ("kelvara-config-" + std::to_string(::getpid()));
    fs::create_directories(config);
    savedXdg = qgetenv("XDG_CONFIG_HOME");
    savedSettings = qgetenv("KELVARA_SETTINGS");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.string()));
    qunsetenv("KELVARA_SETTINGS");
  }
  void TearDown() override {
    qputenv("XDG_CONFIG_HOME", savedXdg);
    if (!savedSettings.isEmpty()) qputenv("KELVARA_SETTINGS", savedSettings);
    fs::remove_all(config);
  }
  fs::path config;
  QByteArray savedXdg, savedSettings;
};

// Regression: the file landed in ~/.config/kelvara/kelvara/klv.ini.
TEST_F(SettingsLocationTest, IsKlvIniInTheConfigFoldersKelvaraFolder) {
  const SettingsLocation location = resolveSettingsLocation("");
  EXPECT_EQ(location.path, (config / "kelvara" / "klv.ini").string());
  EXPECT_FALSE(location.explicitPath);
  EXPECT_EQ(location.earlierPath, (config / "kelvara" / "kelvara" / "klv.ini").string());

  const SettingsLocation named = resolveSettingsLocation("/x/mine.ini");
  EXPECT_EQ(named.path, "/x/mine.ini");
  EXPECT_TRUE(named.explicitPath);
  EXPECT_EQ(named.earlierPath, "") << "a file the user names is the only one read";
}

TEST_F(SettingsLocationTest, TheEarlierPlaceIsReadOnlyUntilTheDocumentedFileExists) {
  const SettingsLocation location = resolveSettingsLocation("");
  EXPECT_EQ(settingsFileToRead(location.path, location.earlierPath), location.path)
      << "neither exists: the documented place";

  fs::create_directories(fs::path(location.earlierPath).parent_path());
  Settings earlier;
  earlier.BlinkCursor = 0;
  earlier.Programs[0] = 41;
  ASSERT_EQ(writeSettingsFile(location.earlierPath, earlier), "");
  ASSERT_EQ(settingsFileToRead(location.path, location.earlierPath), location.earlierPath);
  const SettingsReadResult read =
      readSettingsFile(settingsFileToRead(location.path, location.earlierPath), 1, false);
  EXPECT_EQ(read.values.Programs[0], 41);
  EXPECT_EQ(read.values.BlinkCursor, 0);

  // Closing writes the documented place; from then on only it is read.
  ASSERT_EQ(writeSettingsFile(location.path, read.values), "");
  EXPECT_EQ(settingsFileToRead(location.path, location.earlierPath), location.path);
}

}  // namespace
}  // namespace kelvara
