#include "files/atomic_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "score/ui_text.h"

namespace kelvara {

namespace {

namespace fs = std::filesystem;

// The messages name the file the way users see them elsewhere in the program.
std::string cannotCreate(const std::string& path, const std::string& reason) {
  return fillText(uiText("kelvara::Files", "ファイル %1 を作成できません（%2）"), {path, reason});
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

constexpr size_t kRandomDigits = 6;
constexpr size_t kMaxNameBytes = 255;

// Six hex digits nobody can guess, so that no other user can prepare a link
// under the name before it is used.
std::string randomDigits() {
  static std::atomic<unsigned> counter{0};
  unsigned n = 0;
  if (::getrandom(&n, sizeof n, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof n)) {
    const auto now = static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFFFF);
    n = now ^ (static_cast<unsigned>(::getpid()) << 8) ^ (counter++ * 7919u);
  }
  char digits[16];
  std::snprintf(digits, sizeof digits, "%06x", n & 0xFFFFFF);
  return digits;
}

// ".<target><marker><digits>", the target's name shortened where the whole
// would pass the longest name the file system allows.
std::string temporaryName(const std::string& target) {
  const std::string marker = kTemporaryMarker;
  const size_t room = kMaxNameBytes - 1 - marker.size() - kRandomDigits;
  return "." + target.substr(0, room) + marker + randomDigits();
}

bool allHex(const std::string& name, size_t from) {
  for (size_t i = from; i < name.size(); ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

// Also the shorter name earlier versions gave the same file, ".kv" and six
// hex digits, so that what their killed writes left goes too.
bool isTemporaryName(const std::string& name) {
  if (name.size() == 3 + kRandomDigits && name.rfind(".kv", 0) == 0) return allHex(name, 3);
  const std::string marker = kTemporaryMarker;
  const size_t tail = marker.size() + kRandomDigits;
  if (name.size() < 1 + tail || name[0] != '.') return false;
  if (name.compare(name.size() - tail, marker.size(), marker) != 0) return false;
  return allHex(name, name.size() - kRandomDigits);
}

// Removes this user's temporary files in the folder that no write has
// touched for a while: what killed writes left behind. A write in progress
// keeps changing its file, so it is never taken for a leftover.
void removeLeftovers(int dirFd) {
  const int fd = ::dup(dirFd);
  if (fd < 0) return;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return;
  }
  const time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (!isTemporaryName(name)) continue;
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    // Writes move the time, and so does the writer just before it names
    // the file (AtomicFile::commit).
    if (now - st.st_mtime <= kLeftoverSeconds) continue;
    ::unlinkat(dirFd, name.c_str(), 0);
  }
  ::closedir(dir);
}

// Links the complete unnamed file fd into the folder under `name`.
bool linkUnnamed(int fd, int dirFd, const std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), dirFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  if (errno == EEXIST) return false;
  return ::linkat(fd, "", dirFd, name.c_str(), AT_EMPTY_PATH) == 0;
}

}  // namespace

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
  ignoreFileSizeSignal();
  const std::string targetPath = followLinks(path);
  if (targetPath.empty()) {
    error_ = cannotCreate(path, uiText("kelvara::Files", "シンボリックリンクが循環しています"));
    return;
  }
  const fs::path target(targetPath);
  name_ = target.filename().string();
  if (name_.empty() || name_ == "." || name_ == "..") {
    error_ = cannotCreate(path, uiText("kelvara::Files", "ファイル名がありません"));
    return;
  }
  if (name_.size() > kMaxNameBytes) {
    error_ = cannotCreate(path, ENAMETOOLONG);
    return;
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";

  struct stat st {};
  if (::stat(targetPath.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      error_ = cannotCreate(path, uiText("kelvara::Files", "同名のフォルダがあります"));
      return;
    }
    if (!S_ISREG(st.st_mode)) {
      error_ = cannotCreate(path, uiText("kelvara::Files", "通常のファイルではありません"));
      return;
    }
    // Checked by the permission bits, so that the owner's own protection
    // counts even for a user whom the system would let write anyway.
    if ((st.st_mode & 0222) == 0 || ::access(targetPath.c_str(), W_OK) != 0) {
      error_ = cannotCreate(path, uiText("kelvara::Files", "読み取り専用のファイルです"));
      return;
    }
    keepMode_ = true;
    mode_ = st.st_mode & 07777;
  }
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    error_ = cannotCreate(
        path, fillText(uiText("kelvara::Files", "フォルダ %1 がありません"), {folder.string()}));
    return;
  }
  dirFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd_ < 0) {
    fail(errno);
    return;
  }
  removeLeftovers(dirFd_);

  // The umask applies to the mode given here, as for any new file. An unnamed
  // file is named through /proc; without it the named way is taken.
  if (::access("/proc/self/fd", F_OK) == 0) {
    fd_ = ::openat(dirFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  }
  if (fd_ >= 0) {
    unnamed_ = true;
    return;
  }
  // No unnamed files here: a named temporary file that nobody else can have
  // prepared (O_EXCL, unpredictable name).
  for (int tries = 0; tries < 100 && fd_ < 0; ++tries) {
    temp_ = temporaryName(name_);
    fd_ = ::openat(dirFd_, temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int err = errno;
    temp_.clear();
    fail(err);
  }
}

AtomicFile::~AtomicFile() {
  abandon();
  if (dirFd_ >= 0) ::close(dirFd_);
}

void AtomicFile::abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlinkat(dirFd_, temp_.c_str(), 0);
  temp_.clear();
}

bool AtomicFile::fail(int err) {
  if (error_.empty()) error_ = cannotCreate(path_, err);
  abandon();
  return false;
}

std::string AtomicFile::failure(int err) {
  fail(err);
  return error_;
}

bool AtomicFile::write(std::span<const uint8_t> bytes) {
  if (!ok()) return false;
  if (!writeAll(fd_, bytes.data(), bytes.size())) return fail(errno);
  return true;
}

std::string AtomicFile::commit() {
  if (!ok()) return error_;
  if (keepMode_ && ::fchmod(fd_, static_cast<mode_t>(mode_)) != 0) return failure(errno);
  // Data the disk cannot take (a full disk on delayed allocation) shows here.
  if (::fsync(fd_) != 0) return failure(errno);
  // A long flush must not make the file look like a leftover to another
  // write into the folder while it is being named.
  ::futimens(fd_, nullptr);
  if (unnamed_) {
    if (!keepMode_ && linkUnnamed(fd_, dirFd_, name_)) {
      ::fsync(dirFd_);
      abandon();
      return {};
    }
    if (!keepMode_ && errno != EEXIST) return failure(errno);
    // Replacing a file: link under a temporary name, then rename over it.
    // The name is there only between these two calls.
    for (int tries = 0; tries < 100 && temp_.empty(); ++tries) {
      const std::string name = temporaryName(name_);
      if (linkUnnamed(fd_, dirFd_, name)) {
        temp_ = name;
      } else if (errno != EEXIST) {
        return failure(errno);
      }
    }
    if (temp_.empty()) return failure(EEXIST);
  } else {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return failure(errno);
  }
  if (::renameat(dirFd_, temp_.c_str(), dirFd_, name_.c_str()) != 0) return failure(errno);
  temp_.clear();
  ::fsync(dirFd_);
  abandon();
  return {};
}

std::string writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
  AtomicFile file(path);
  file.write(bytes);
  return file.commit();
}

namespace {

// Opens a regular file of at most maxBytes bytes for reading; its size in
// `size`. Returns the error text, empty on success.
std::string openForReading(const std::string& path, size_t maxBytes, Fd& file, uint64_t& size) {
  auto cannotOpen = [&](const std::string& reason) {
    return fillText(uiText("kelvara::Files", "ファイル %1 は開けません（%2）"), {path, reason});
  };
  // Non-blocking, so that a pipe with no writer cannot hold the program up.
  file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file.fd < 0) return cannotOpen(std::strerror(errno));
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) return cannotOpen(std::strerror(errno));
  if (S_ISDIR(st.st_mode)) return cannotOpen(uiText("kelvara::Files", "フォルダです"));
  if (!S_ISREG(st.st_mode))
    return cannotOpen(uiText("kelvara::Files", "通常のファイルではありません"));
  size = static_cast<uint64_t>(st.st_size);
  if (size > maxBytes) {
    return cannotOpen(
        fillText(uiText("kelvara::Files", "大きさ %1 バイトが上限の %2 バイトを超えています"),
                 {std::to_string(size), std::to_string(maxBytes)}));
  }
  return {};
}

std::string grewWhileRead(const std::string& path) {
  return fillText(
      uiText("kelvara::Files", "ファイル %1 は開けません（読み込み中に大きくなりました）"), {path});
}

std::string readFailed(const std::string& path) {
  const std::string reason = std::strerror(errno);
  return fillText(uiText("kelvara::Files", "ファイル %1 を読み込めません（%2）"), {path, reason});
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
    return fillText(uiText("kelvara::Files", "ファイル %1 は開けません（メモリが足りません）"),
                    {path});
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
