#include "sound/audio_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "files/midi_export.h"
#include "sound/audio_render.h"
#include "sound/midi_song.h"
#include "sound/soundfont_search.h"

namespace kelvara {

namespace {

FileResult cannotCreate(const std::string& path, const std::string& reason) {
  return FileResult::failure(FileError::CannotCreate,
                             "ファイル " + path + " を作成できません（" + reason + "）");
}

// A file written beside its target under a temporary name and renamed over
// it only once complete; removed when abandoned.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& target) {
    namespace fs = std::filesystem;
    const fs::path path(target);
    fs::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    folder_ = folder.string();
    std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    path_ = name.data();
  }
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int error() const { return error_; }

  bool write(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
      const ssize_t n = ::write(fd_, p, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        error_ = errno;
        return false;
      }
      p += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  // Flushes, gives the file the target's permissions (0644 when new) and
  // renames it over the target.
  bool commit(const std::string& target) {
    struct stat st {};
    const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    if (::fsync(fd_) != 0 || ::fchmod(fd_, mode) != 0) return fail();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail();
    if (::rename(path_.c_str(), target.c_str()) != 0) return fail();
    path_.clear();
    const int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
    return true;
  }

 private:
  bool fail() {
    error_ = errno;
    return false;
  }

  int fd_ = -1;
  int error_ = 0;
  std::string path_;
  std::string folder_;
};

}  // namespace

FileResult exportWav(const EditorState& s, int32_t fromBar, int32_t toBar,
                     const std::string& output, const std::string& soundFont) {
  std::vector<uint8_t> midi;
  FileResult encoded = encodeMidiExport(s, fromBar, toBar, output, midi);
  if (!encoded.ok()) return encoded;
  const MidiSongResult read = readMidiSong(midi, output);
  if (!read.ok()) return FileResult::failure(FileError::Unwritable, read.error);

  AudioRenderOptions options;
  options.namedSoundFont =
      namedSoundFont(soundFont.empty() ? std::nullopt : std::optional<std::string>(soundFont),
                     std::getenv(kSoundFontVariable));
  options.soundFonts = findSoundFonts(systemSoundFontFolders());
  options.cpuCores = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
  const int64_t frames = renderedFrames(read.song, options);
  if (frames > maxWavFrames()) return cannotCreate(output, "WAV ファイルに収まらない長さです");

  std::error_code ec;
  if (std::filesystem::is_directory(output, ec))
    return cannotCreate(output, "同名のフォルダがあります");
  TemporaryFile file(output);
  if (file.error() != 0) return cannotCreate(output, std::strerror(file.error()));
  const std::vector<uint8_t> header = wavHeader(frames, options.sampleRate);
  if (!file.write(header.data(), header.size())) {
    return cannotCreate(output, std::strerror(file.error()));
  }
  const std::string rendered =
      renderSongAudio(read.song, options, [&](std::span<const int16_t> samples) {
        // WAV samples are little-endian, as this machine's are.
        return file.write(samples.data(), samples.size_bytes());
      });
  if (file.error() != 0) return cannotCreate(output, std::strerror(file.error()));
  if (!rendered.empty()) return cannotCreate(output, rendered);
  if (!file.commit(output)) return cannotCreate(output, std::strerror(file.error()));
  return {};
}

}  // namespace kelvara
