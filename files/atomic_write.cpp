#include "files/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace kelvara {

namespace {

// The messages name the file the way users see them elsewhere in the program.
std::string cannotCreate(const std::string& path, const std::string& reason) {
  return "ファイル " + path + " を作成できません（" + reason + "）";
}

std::string cannotCreate(const std::string& path, int err) {
  return cannotCreate(path, std::strerror(err));
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

}  // namespace

std::string writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    return cannotCreate(path, "フォルダ " + folder.string() + " がありません");
  }
  if (fs::is_directory(target, ec)) return cannotCreate(path, "同名のフォルダがあります");

  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return cannotCreate(path, errno);
  const std::string tempPath(name.data());

  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tempPath.c_str());
    return cannotCreate(path, err);
  };
  if (!writeAll(fd, bytes.data(), bytes.size())) return fail(errno);
  if (::fsync(fd) != 0) return fail(errno);
  // Keep the permissions of a file being replaced; new files get 0644.
  struct stat st {};
  const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  if (::fchmod(fd, mode) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(tempPath.c_str());
    return cannotCreate(path, err);
  }
  if (::rename(tempPath.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(tempPath.c_str());
    return cannotCreate(path, err);
  }
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return {};
}

std::string readWholeFile(const std::string& path, std::string& bytes) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    return "ファイル " + path + " は開けません（フォルダです）";
  std::ifstream in(path, std::ios::binary);
  if (!in) return "ファイル " + path + " は開けません（" + std::strerror(errno) + "）";
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return "ファイル " + path + " を読み込めません（" + std::strerror(errno) + "）";
  bytes = buffer.str();
  return {};
}

}  // namespace kelvara
