#include "editor/recovery_store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kelvara {
namespace {

namespace fs = std::filesystem;

class RecoveryStoreTest : public ::testing::Test {
 protected:
  RecoveryStoreTest() {
    folder =
        fs::temp_directory_path() /
        ("kelvara-recovery-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
  }
  ~RecoveryStoreTest() override { fs::remove_all(folder); }

  size_t filesInFolder() const {
    size_t n = 0;
    std::error_code ec;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder, ec)) ++n;
    return n;
  }

  const std::vector<uint8_t> bytes{1, 2, 3, 4};
  fs::path folder;
};

TEST_F(RecoveryStoreTest, ARunningEditorsCopyIsNeverOfferedOrDeletedByAnother) {
  RecoveryStore a(folder.string());
  ASSERT_EQ(a.claim(), "");
  ASSERT_EQ(a.write(bytes, "/music/song.zqf3"), "");
  RecoveryStore b(folder.string());
  ASSERT_EQ(b.claim(), "");
  EXPECT_NE(a.run(), b.run());
  // Unsaved work is the user's alone.
  EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_TRUE(b.orphans().empty());
  EXPECT_FALSE(b.discard({a.run(), a.copyPath(), "", 0}));
  EXPECT_TRUE(fs::exists(a.copyPath()));
}

TEST_F(RecoveryStoreTest, ACopyLeftByARunThatDidNotEndCleanlyIsOfferedThenDiscarded) {
  std::string leftRun;
  {
    // The run ends without release(): its lock goes with the process, the
    // copy stays, as after a crash.
    auto crashed = std::make_unique<RecoveryStore>(folder.string());
    ASSERT_EQ(crashed->claim(), "");
    ASSERT_EQ(crashed->write(bytes, "/music/song.zqf3"), "");
    leftRun = crashed->run();
  }
  RecoveryStore next(folder.string());
  ASSERT_EQ(next.claim(), "");
  const auto orphans = next.orphans();
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0].run, leftRun);
  EXPECT_EQ(orphans[0].fileName, "/music/song.zqf3");
  EXPECT_EQ(fs::file_size(orphans[0].copyPath), bytes.size());
  // The time offered is the copy's, on the user's clock.
  EXPECT_NEAR(static_cast<double>(orphans[0].modifiedSeconds),
              static_cast<double>(std::time(nullptr)), 600.0);

  EXPECT_TRUE(next.discard(orphans[0]));
  EXPECT_TRUE(next.orphans().empty());
  EXPECT_EQ(filesInFolder(), 1u);  // only the running store's lock
}

TEST_F(RecoveryStoreTest, AFailedCopyKeepsTheOldCopyWithItsOwnName) {
  std::string leftRun;
  {
    auto crashed = std::make_unique<RecoveryStore>(folder.string());
    ASSERT_EQ(crashed->claim(), "");
    ASSERT_EQ(crashed->write(bytes, "/music/old.zqf3"), "");
    // A copy that cannot be replaced (refused as read-only).
    fs::permissions(crashed->copyPath(), fs::perms::owner_read);
    EXPECT_NE(crashed->write(std::vector<uint8_t>{9, 9}, "/music/new.zqf3"), "");
    leftRun = crashed->run();
  }
  RecoveryStore next(folder.string());
  ASSERT_EQ(next.claim(), "");
  const auto orphans = next.orphans();
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0].fileName, "/music/old.zqf3");
  EXPECT_EQ(fs::file_size(orphans[0].copyPath), bytes.size());
}

TEST_F(RecoveryStoreTest, ACleanExitLeavesNothingAndAnUnsavedNameIsEmpty) {
  RecoveryStore a(folder.string());
  ASSERT_EQ(a.claim(), "");
  ASSERT_EQ(a.write(bytes, ""), "");
  a.removeCopy();
  EXPECT_FALSE(fs::exists(a.copyPath()));
  ASSERT_EQ(a.write(bytes, ""), "");
  a.release();
  EXPECT_EQ(filesInFolder(), 0u);
  EXPECT_NE(a.write(bytes, ""), "");  // nothing is written after release
}

TEST_F(RecoveryStoreTest, TheFolderFollowsXdgStateHome) {
  const char* old = std::getenv("XDG_STATE_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_STATE_HOME", "/somewhere/state", 1);
  EXPECT_EQ(RecoveryStore::defaultFolder(), "/somewhere/state/kelvara");
  ::setenv("XDG_STATE_HOME", "relative", 1);  // not absolute: ignored
  EXPECT_NE(RecoveryStore::defaultFolder().find("/.local/state/kelvara"), std::string::npos);
  if (old) {
    ::setenv("XDG_STATE_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_STATE_HOME");
  }
}

TEST_F(RecoveryStoreTest, AClaimInAnUncreatableFolderIsAnErrorNotACrash) {
  fs::create_directories(folder);
  const fs::path blocker = folder / "file";
  {
    std::FILE* f = std::fopen(blocker.c_str(), "w");
    std::fclose(f);
  }
  RecoveryStore a((blocker / "sub").string());
  EXPECT_NE(a.claim(), "");
  EXPECT_FALSE(a.claimed());
  EXPECT_NE(a.write(bytes, ""), "");
}

// Regression: lock files of runs that ended with nothing unsaved piled up.
TEST_F(RecoveryStoreTest, SettledLocksWithoutACopyAreRemovedAtTheNextStart) {
  fs::create_directories(folder);
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
  for (const char* name :
       {"run-1-1-1.lock", "run-2-2-2.lock", "run-2-2-2.zqf3", "run-3-3-3.lock"}) {
    std::FILE* f = std::fopen((folder / name).c_str(), "w");
    std::fclose(f);
    if (std::string(name) != "run-3-3-3.lock") fs::last_write_time(folder / name, old);
  }
  RecoveryStore a(folder.string());
  ASSERT_EQ(a.claim(), "");
  // Gone: the settled lock without a copy. Kept: a lock with a copy to
  // offer, and a lock so new that its editor may not have taken it yet.
  EXPECT_FALSE(fs::exists(folder / "run-1-1-1.lock"));
  EXPECT_TRUE(fs::exists(folder / "run-2-2-2.lock"));
  EXPECT_TRUE(fs::exists(folder / "run-3-3-3.lock"));
  EXPECT_EQ(filesInFolder(), 4u);
}

}  // namespace
}  // namespace kelvara
