#include "editor/recovery_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>

#include "files/atomic_write.h"
#include "score/ui_text.h"

namespace kelvara {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLock = ".lock";
constexpr const char* kCopy = ".zqf3";
constexpr const char* kName = ".name";
// A file name longer than this in a .name file is not ours.
constexpr size_t kMaxNameBytes = 4096;

// Creates and locks a new lock file; -1 when it exists or cannot be made.
int tryLock(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_CREAT | O_EXCL, 0600);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// True while the run that owns the lock file holds its lock. A missing lock
// file means the run is gone.
bool runIsAlive(const std::string& lockPath) {
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  ::close(fd);
  return locked;
}

std::string newRunName() {
  std::random_device rd;
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now).count();
  return "run-" + std::to_string(seconds) + "-" + std::to_string(::getpid()) + "-" +
         std::to_string(rd() % 100000);
}

std::string readName(const std::string& path) {
  std::string bytes;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) > kMaxNameBytes) return {};
  if (!readWholeFile(path, bytes).empty()) return {};
  return bytes;
}

}  // namespace

std::string RecoveryStore::defaultFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return (fs::path(state) / "kelvara").string();
  const char* home = std::getenv("HOME");
  const fs::path base =
      home != nullptr && home[0] != '\0' ? fs::path(home) : fs::temp_directory_path();
  return (base / ".local" / "state" / "kelvara").string();
}

RecoveryStore::RecoveryStore(std::string folder) : folder_(std::move(folder)) {}

RecoveryStore::~RecoveryStore() {
  // Without release() (a crash, as far as the files go) both copies stay.
  if (adoptedFd_ >= 0) ::close(adoptedFd_.exchange(-1));
  if (lockFd_ >= 0) ::close(lockFd_);
}

std::string RecoveryStore::pathOf(const std::string& run, const char* ext) const {
  return (fs::path(folder_) / (run + ext)).string();
}

std::string RecoveryStore::copyPath() const {
  return pathOf(run_, kCopy);
}

std::string RecoveryStore::claim() {
  if (lockFd_ >= 0) return {};
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec)
    return fillText(uiText("kelvara::Editor", "フォルダ %1 を作成できません（%2）"),
                    {folder_, ec.message()});
  // The copies are the user's unsaved work: nobody else may read them.
  fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace, ec);
  for (int attempt = 0; attempt < 5 && lockFd_ < 0; ++attempt) {
    run_ = newRunName();
    lockFd_ = tryLock(pathOf(run_, kLock));
  }
  if (lockFd_ < 0)
    return fillText(uiText("kelvara::Editor", "ファイル %1 を作成できません"),
                    {pathOf(run_, kLock)});
  removeStaleLocks();
  return {};
}

void RecoveryStore::removeStaleLocks() const {
  // A lock younger than this may belong to an editor that has created it
  // and not locked it yet.
  constexpr int64_t kSettledSeconds = 60;
  const auto now = std::time(nullptr);
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder_, ec)) {
    const fs::path& p = entry.path();
    if (p.extension() != kLock) continue;
    const std::string run = p.stem().string();
    if (run == run_ || fs::exists(pathOf(run, kCopy), ec)) continue;
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (now - st.st_mtime < kSettledSeconds || runIsAlive(p.string())) continue;
    ::unlink(pathOf(run, kName).c_str());
    ::unlink(p.c_str());
  }
}

std::vector<RecoveryStore::Orphan> RecoveryStore::orphans() const {
  std::vector<Orphan> out;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder_, ec)) {
    const fs::path& p = entry.path();
    if (p.extension() != kCopy || !entry.is_regular_file(ec)) continue;
    const std::string run = p.stem().string();
    if (run == run_) continue;
    // A run that still holds its lock is running: its copy is not ours.
    if (runIsAlive(pathOf(run, kLock))) continue;
    Orphan o;
    o.run = run;
    o.copyPath = p.string();
    o.fileName = readName(pathOf(run, kName));
    // Seconds since the epoch, as the user's clock tells it.
    struct stat st {};
    o.modifiedSeconds = ::stat(p.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_mtime) : 0;
    out.push_back(std::move(o));
  }
  std::sort(out.begin(), out.end(),
            [](const Orphan& a, const Orphan& b) { return a.modifiedSeconds > b.modifiedSeconds; });
  return out;
}

std::string RecoveryStore::write(std::span<const uint8_t> zqf3, const std::string& fileName) const {
  if (lockFd_ < 0) return "recovery folder not claimed";
  // The copy first: a copy that could not be written leaves the old copy
  // with its own name. A name that could not follow is removed rather than
  // left to name a copy of other work.
  std::string error = writeFileAtomically(pathOf(run_, kCopy), zqf3);
  if (!error.empty()) return error;
  dropAdopted();
  error = writeFileAtomically(
      pathOf(run_, kName),
      std::span(reinterpret_cast<const uint8_t*>(fileName.data()), fileName.size()));
  if (!error.empty()) ::unlink(pathOf(run_, kName).c_str());
  return error;
}

void RecoveryStore::removeCopy() const {
  if (lockFd_ < 0) return;
  ::unlink(pathOf(run_, kCopy).c_str());
  ::unlink(pathOf(run_, kName).c_str());
  dropAdopted();
}

bool RecoveryStore::adopt(const Orphan& orphan) {
  if (lockFd_ < 0 || adoptedFd_ >= 0 || orphan.run == run_) return false;
  const int fd = ::open(pathOf(orphan.run, kLock).c_str(), O_RDWR | O_CLOEXEC | O_CREAT, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  adoptedRun_ = orphan.run;
  adoptedFd_ = fd;
  return true;
}

void RecoveryStore::dropAdopted() const {
  const int fd = adoptedFd_.exchange(-1);
  if (fd < 0) return;
  ::unlink(pathOf(adoptedRun_, kCopy).c_str());
  ::unlink(pathOf(adoptedRun_, kName).c_str());
  ::unlink(pathOf(adoptedRun_, kLock).c_str());
  ::close(fd);
}

void RecoveryStore::release() {
  removeCopy();
  releaseLock();
}

void RecoveryStore::releaseLock() {
  if (lockFd_ < 0) return;
  ::unlink(pathOf(run_, kLock).c_str());
  ::close(lockFd_);
  lockFd_ = -1;
}

bool RecoveryStore::discard(const Orphan& orphan) const {
  const std::string lock = pathOf(orphan.run, kLock);
  if (runIsAlive(lock)) return false;
  ::unlink(pathOf(orphan.run, kCopy).c_str());
  ::unlink(pathOf(orphan.run, kName).c_str());
  ::unlink(lock.c_str());
  return true;
}

}  // namespace kelvara
