// Writing files: the old file or the complete new one and nothing else,
// permissions, links, long names, size limits; reading regular files only.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "files/atomic_write.h"
#include "files/zqf3_file.h"
#include "files_fixture.h"

namespace kelvara::testing {
namespace {

namespace fs = std::filesystem;

class AtomicWrite : public FilesTest {
 protected:
  std::string write(const std::string& p, const std::string& text) {
    return writeFileAtomically(
        p, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  }
  std::string read(const std::string& p) {
    std::string text;
    EXPECT_EQ(readWholeFile(p, text), "");
    return text;
  }
  std::vector<std::string> namesInDir() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  static mode_t modeOf(const std::string& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 07777;
  }
};

// Runs `child` in a forked process and returns its wait status.
template <typename F>
int inChild(F child) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    child();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST_F(AtomicWrite, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
  const mode_t old = ::umask(077);
  EXPECT_EQ(write(path("private.zqf3"), "abc"), "");
  ::umask(022);
  EXPECT_EQ(write(path("shared.zqf3"), "abc"), "");
  ::umask(old);
  EXPECT_EQ(modeOf(path("private.zqf3")), 0600u);
  EXPECT_EQ(modeOf(path("shared.zqf3")), 0644u);

  ::chmod(path("private.zqf3").c_str(), 0640);
  EXPECT_EQ(write(path("private.zqf3"), "new"), "");
  EXPECT_EQ(modeOf(path("private.zqf3")), 0640u);
  EXPECT_EQ(read(path("private.zqf3")), "new");
  EXPECT_EQ(namesInDir(), (std::vector<std::string>{"private.zqf3", "shared.zqf3"}));
}

TEST_F(AtomicWrite, LongestValidNameIsWritten) {
  const std::string name = std::string(250, 'n') + ".zqf3";  // 255 bytes
  EXPECT_EQ(write(path(name), "first"), "");
  EXPECT_EQ(write(path(name), "second"), "");
  EXPECT_EQ(read(path(name)), "second");
  EXPECT_EQ(namesInDir(), std::vector<std::string>{name});
  EXPECT_NE(write(path(name + "x"), "too long"), "");
  EXPECT_EQ(namesInDir(), std::vector<std::string>{name});
}

TEST_F(AtomicWrite, SymlinksAreWrittenThrough) {
  fs::create_directory(dir / "real");
  EXPECT_EQ(write(path("real/klv.ini"), "old"), "");
  fs::create_symlink("real/klv.ini", dir / "klv.ini");
  EXPECT_EQ(write(path("klv.ini"), "new"), "");
  EXPECT_TRUE(fs::is_symlink(dir / "klv.ini"));
  EXPECT_EQ(read(path("real/klv.ini")), "new");
  // A link to a file not there yet creates that file.
  fs::create_symlink("real/later.mid", dir / "later.mid");
  EXPECT_EQ(write(path("later.mid"), "x"), "");
  EXPECT_EQ(read(path("real/later.mid")), "x");
  // A circle of links is refused.
  fs::create_symlink("b", dir / "a");
  fs::create_symlink("a", dir / "b");
  EXPECT_NE(write(path("a"), "x"), "");
}

TEST_F(AtomicWrite, ReadOnlyTargetIsRefusedAndKept) {
  EXPECT_EQ(write(path("kept.mid"), "old"), "");
  ::chmod(path("kept.mid").c_str(), 0444);
  const std::string err = write(path("kept.mid"), "new");
  EXPECT_NE(err.find("kept.mid"), std::string::npos) << err;
  EXPECT_NE(err.find("読み取り専用"), std::string::npos) << err;
  EXPECT_EQ(read(path("kept.mid")), "old");
  EXPECT_EQ(namesInDir(), std::vector<std::string>{"kept.mid"});
}

TEST_F(AtomicWrite, FileSizeLimitIsAnErrorAndLeavesTheOldFile) {
  EXPECT_EQ(write(path("out.zqf3"), "old"), "");
  const std::string target = path("out.zqf3");
  const int status = inChild([&] {
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string big(100000, 'x');
    const std::string err = writeFileAtomically(
        target, std::span(reinterpret_cast<const uint8_t*>(big.data()), big.size()));
    ::_exit(err.find("を作成できません") != std::string::npos ? 0 : 1);
  });
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(read(target), "old");
  EXPECT_EQ(namesInDir(), std::vector<std::string>{"out.zqf3"});
}

TEST_F(AtomicWrite, KilledWriteLeavesNothingVisible) {
  EXPECT_EQ(write(path("out.zqf3"), "old"), "");
  const std::string target = path("out.zqf3");
  const int status = inChild([&] {
    const std::string big(100000, 'x');
    auto bytes = std::span(reinterpret_cast<const uint8_t*>(big.data()), big.size());
    writeFileAtomically(path("warm-up"), bytes.first(1));
    ::unlink(path("warm-up").c_str());
    // The default action of SIGXFSZ ends the process in the middle of write().
    ::signal(SIGXFSZ, SIG_DFL);
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    writeFileAtomically(target, bytes);
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(read(target), "old");
  EXPECT_EQ(namesInDir(), std::vector<std::string>{"out.zqf3"});
}

// Regression: a kill between the link under the temporary name and the
// rename left ".kv5d37ff" for good. The name now says what it is, and the next
// write into the folder removes such files once no write has touched them
// for a minute.
TEST_F(AtomicWrite, KillsAtRandomMomentsLeaveOldOrNewAndNoLastingLeftovers) {
  const std::string target = path("out.zqf2");
  const std::string a(200000, 'a'), b(300000, 'b');
  auto bytes = [](const std::string& t) {
    return std::span(reinterpret_cast<const uint8_t*>(t.data()), t.size());
  };
  ASSERT_EQ(writeFileAtomically(target, bytes(a)), "");
  const std::string marker = std::string(".out.zqf2") + kTemporaryMarker;
  for (int round = 0; round < 12; ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (;;) writeFileAtomically(target, bytes(rand() % 2 ? a : b));
    }
    ::usleep(static_cast<useconds_t>(500 + rand() % 4000));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const std::string now = read(target);
    EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    for (const std::string& name : namesInDir()) {
      if (name != "out.zqf2") {
        EXPECT_EQ(name.rfind(marker, 0), 0u) << name;
      }
    }
  }
  // Leftovers a minute old go with the next write; fresh ones, other names,
  // and a link that only looks like one, stay.
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
  for (const std::string& name : namesInDir()) {
    if (name != "out.zqf2") fs::last_write_time(dir / name, old);
  }
  EXPECT_EQ(write(path(".kv5d37ff"), "x"), "");  // the name earlier versions used
  fs::last_write_time(dir / ".kv5d37ff", old);
  const std::string fresh = marker + "00aa11";
  const std::string notOurs = ".out.zqf2.kelvara-tmp-xyzxyz";
  for (const std::string& name : {fresh, notOurs}) {
    EXPECT_EQ(write(path(name), "x"), "");
  }
  fs::last_write_time(dir / notOurs, old);
  fs::create_symlink("out.zqf2", dir / (marker + "bbbbbb"));
  EXPECT_EQ(write(path("other.zqf3"), "new"), "");
  EXPECT_EQ(namesInDir(), (std::vector<std::string>{fresh, marker + "bbbbbb", notOurs, "other.zqf3",
                                                    "out.zqf2"}));
}

TEST_F(AtomicWrite, OnlyRegularFilesOfBoundedSizeAreRead) {
  std::string text;
  std::string err = readWholeFile("/dev/zero", text);
  EXPECT_NE(err.find("通常のファイルではありません"), std::string::npos) << err;
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  err = readWholeFile(path("fifo"), text);  // returns at once, with no writer
  EXPECT_NE(err.find("通常のファイルではありません"), std::string::npos) << err;
  err = readWholeFile(dir.string(), text);
  EXPECT_NE(err.find("フォルダ"), std::string::npos) << err;

  writeBytes(path("big.zqf3"), {});
  fs::resize_file(path("big.zqf3"), kMaxScoreFileBytes + 1);  // sparse
  LoadResult r = loaddataplus2(s, path("big.zqf3"));
  EXPECT_EQ(r.error, FileError::CannotOpen);
  EXPECT_NE(r.message.find(std::to_string(kMaxScoreFileBytes + 1)), std::string::npos) << r.message;
  EXPECT_EQ(readWholeFile(path("big.zqf3"), text, kMaxScoreFileBytes + 1), "");
  EXPECT_EQ(text.size(), kMaxScoreFileBytes + 1);
}

}  // namespace
}  // namespace kelvara::testing
