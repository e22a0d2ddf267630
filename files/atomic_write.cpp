#include "files/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace kelvara {

namespace {

namespace fs = std::filesystem;

// The messages name the file the way users see them elsewhere in the program.
std::string cannotCreate(const std::string& path, const std::string& reason) {
  return "ファイル " + path + " を作成できません（" + reason + "）";
}

std::string cannotCreate(const std::string& path, int err) {
  return cannotCreate(path, std::strerror(err));
}

// Without this a write past the file-size limit (ulimit -f) ends the whole
// program; ignored, the write fails with EFBIG and is reported like any other.
void ignoreFileSizeSignal() {
  static std::once_flag once;
  std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

bool writeAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Closes a descriptor when it goes out of scope.
struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// The file a path finally names, following symbolic links (also a link to a
// file that does not exist yet). Empty when the links go round in a circle.
std::string followLinks(const std::string& path) {
  fs::path p(path);
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p.string();
    std::error_code ec;
    const fs::path to = fs::read_symlink(p, ec);
    if (ec) return p.string();
    p = to.is_absolute() ? to : p.parent_path() / to;
  }
  return {};
}

// A short name for a temporary file, so that a target name of the longest
// length the file system allows still has a temporary companion.
std::string temporaryName() {
  static std::atomic<unsigned> counter{0};
  const auto now =
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFF);
  const unsigned n = (now ^ (static_cast<unsigned>(::getpid()) << 8)) + counter++ * 7919;
  char name[16];
  std::snprintf(name, sizeof name, ".kv%06x", n & 0xFFFFFF);
  return name;
}

// How one attempt ended: done, failed with a message, or the file system
// lacks unnamed files and the named way should be tried.
struct Attempt {
  bool done = false;
  std::string error;
};

// Links the complete unnamed file fd into the folder under `name`.
bool linkUnnamed(int fd, int dirFd, const std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), dirFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  if (errno == EEXIST) return false;
  return ::linkat(fd, "", dirFd, name.c_str(), AT_EMPTY_PATH) == 0;
}

Attempt writeUnnamed(const std::string& path, const std::string& folder, int dirFd,
                     const std::string& name, std::optional<mode_t> keepMode,
                     std::span<const uint8_t> bytes) {
  // The umask applies to the mode given here, as for any new file.
  Fd file(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
  if (file.fd < 0) return {};  // not offered here: the named way
  if (!writeAll(file.fd, bytes.data(), bytes.size())) return {false, cannotCreate(path, errno)};
  if (keepMode && ::fchmod(file.fd, *keepMode) != 0) return {false, cannotCreate(path, errno)};
  if (::fsync(file.fd) != 0) return {false, cannotCreate(path, errno)};
  if (!keepMode && linkUnnamed(file.fd, dirFd, name)) return {true, {}};
  if (!keepMode && errno != EEXIST) return {};
  // Replacing a file: link under a temporary name, then rename over it.
  for (int tries = 0; tries < 100; ++tries) {
    const std::string temp = temporaryName();
    if (!linkUnnamed(file.fd, dirFd, temp)) {
      if (errno == EEXIST) continue;
      return {};
    }
    if (::renameat(dirFd, temp.c_str(), dirFd, name.c_str()) != 0) {
      const int err = errno;
      ::unlinkat(dirFd, temp.c_str(), 0);
      return {false, cannotCreate(path, err)};
    }
    return {true, {}};
  }
  return {false, cannotCreate(path, EEXIST)};
}

Attempt writeNamed(const std::string& path, int dirFd, const std::string& name,
                   std::optional<mode_t> keepMode, std::span<const uint8_t> bytes) {
  std::string temp;
  int fd = -1;
  for (int tries = 0; tries < 100 && fd < 0; ++tries) {
    temp = temporaryName();
    fd = ::openat(dirFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return {false, cannotCreate(path, errno)};
  }
  if (fd < 0) return {false, cannotCreate(path, EEXIST)};
  Fd file(fd);
  auto fail = [&](int err) {
    ::unlinkat(dirFd, temp.c_str(), 0);
    return Attempt{false, cannotCreate(path, err)};
  };
  if (!writeAll(fd, bytes.data(), bytes.size())) return fail(errno);
  if (keepMode && ::fchmod(fd, *keepMode) != 0) return fail(errno);
  if (::fsync(fd) != 0) return fail(errno);
  if (::renameat(dirFd, temp.c_str(), dirFd, name.c_str()) != 0) return fail(errno);
  return {true, {}};
}

}  // namespace

std::string writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
  ignoreFileSizeSignal();
  const std::string targetPath = followLinks(path);
  if (targetPath.empty()) return cannotCreate(path, "シンボリックリンクが循環しています");
  const fs::path target(targetPath);
  const std::string name = target.filename().string();
  if (name.empty() || name == "." || name == "..")
    return cannotCreate(path, "ファイル名がありません");
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";

  std::optional<mode_t> keepMode;
  struct stat st {};
  if (::stat(targetPath.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return cannotCreate(path, "同名のフォルダがあります");
    if (!S_ISREG(st.st_mode)) return cannotCreate(path, "通常のファイルではありません");
    // Checked by the permission bits, so that the owner's own protection
    // counts even for a user whom the system would let write anyway.
    if ((st.st_mode & 0222) == 0 || ::access(targetPath.c_str(), W_OK) != 0) {
      return cannotCreate(path, "読み取り専用のファイルです");
    }
    keepMode = st.st_mode & 07777;
  }
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    return cannotCreate(path, "フォルダ " + folder.string() + " がありません");
  }
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.fd < 0) return cannotCreate(path, errno);

  Attempt a = writeUnnamed(path, folder.string(), dir.fd, name, keepMode, bytes);
  if (!a.done && a.error.empty()) a = writeNamed(path, dir.fd, name, keepMode, bytes);
  if (!a.done) return a.error;
  ::fsync(dir.fd);
  return {};
}

namespace {

// Opens a regular file of at most maxBytes bytes for reading; its size in
// `size`. Returns the error text, empty on success.
std::string openForReading(const std::string& path, size_t maxBytes, Fd& file, uint64_t& size) {
  auto cannotOpen = [&](const std::string& reason) {
    return "ファイル " + path + " は開けません（" + reason + "）";
  };
  // Non-blocking, so that a pipe with no writer cannot hold the program up.
  file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file.fd < 0) return cannotOpen(std::strerror(errno));
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) return cannotOpen(std::strerror(errno));
  if (S_ISDIR(st.st_mode)) return cannotOpen("フォルダです");
  if (!S_ISREG(st.st_mode)) return cannotOpen("通常のファイルではありません");
  size = static_cast<uint64_t>(st.st_size);
  if (size > maxBytes) {
    return cannotOpen("大きさ " + std::to_string(size) + " バイトが上限の " +
                      std::to_string(maxBytes) + " バイトを超えています");
  }
  return {};
}

std::string grewWhileRead(const std::string& path) {
  return "ファイル " + path + " は開けません（読み込み中に大きくなりました）";
}

std::string readFailed(const std::string& path) {
  return "ファイル " + path + " を読み込めません（" + std::strerror(errno) + "）";
}

}  // namespace

std::string readWholeFile(const std::string& path, std::string& bytes, size_t maxBytes) {
  Fd file(-1);
  uint64_t size = 0;
  if (std::string error = openForReading(path, maxBytes, file, size); !error.empty()) return error;
  std::string data;
  try {
    data.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return "ファイル " + path + " は開けません（メモリが足りません）";
  }
  size_t got = 0;
  while (got < data.size()) {
    const ssize_t n = ::read(file.fd, data.data() + got, data.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return readFailed(path);
    if (n == 0) break;  // the file shrank while being read
    got += static_cast<size_t>(n);
  }
  data.resize(got);
  // A file that grew while being read is not read past the limit.
  char extra = 0;
  if (got == size && ::read(file.fd, &extra, 1) > 0) return grewWhileRead(path);
  bytes = std::move(data);
  return {};
}

std::string readFileInPieces(const std::string& path, size_t maxBytes,
                             const std::function<void(std::string_view)>& sink) {
  Fd file(-1);
  uint64_t size = 0;
  if (std::string error = openForReading(path, maxBytes, file, size); !error.empty()) return error;
  std::vector<char> buffer(size_t{1} << 18);
  uint64_t got = 0;
  for (;;) {
    const ssize_t n = ::read(file.fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return readFailed(path);
    if (n == 0) break;
    got += static_cast<uint64_t>(n);
    if (got > size) return grewWhileRead(path);
    sink(std::string_view(buffer.data(), static_cast<size_t>(n)));
  }
  return {};
}

}  // namespace kelvara
