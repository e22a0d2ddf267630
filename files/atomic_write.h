#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace kelvara {

// No score file this program writes comes near this size (a score of half a
// million records is 17 MB); a larger file is refused before it is read.
constexpr size_t kMaxScoreFileBytes = size_t{32} << 20;

// Every temporary name this writer gives in a folder holds this marker:
// ".<target name><marker><six hex digits>". A write into a folder removes
// such files of this user older than kLeftoverSeconds, which only a write
// killed at the wrong moment leaves.
constexpr const char* kTemporaryMarker = ".kelvara-tmp-";
constexpr int kLeftoverSeconds = 60;

// A file written whole or not at all, in pieces. Where the file system
// offers unnamed files the data goes into one that is given its name only
// when complete; elsewhere into a temporary file (named as above) renamed
// over the target. A symbolic link is written through to the file it names.
// A new file gets the permissions the umask allows, a replaced one keeps its
// own; a file without write permission is refused. A file-size limit
// (ulimit -f) or a full disk is an error like any other. Until commit()
// succeeds the target is untouched; an object destroyed uncommitted leaves
// nothing behind.
class AtomicFile {
 public:
  explicit AtomicFile(const std::string& path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // The first failure, naming the file; empty while all went well.
  const std::string& error() const { return error_; }
  bool ok() const { return error_.empty(); }

  // Appends bytes. False after any failure, now or earlier.
  bool write(std::span<const uint8_t> bytes);
  // Flushes the data to the disk and gives the file its name. Returns the
  // error text, empty on success.
  std::string commit();

 private:
  bool fail(int err);
  std::string failure(int err);
  void abandon();

  std::string path_;  // as the caller named it, for messages
  std::string name_;  // the target's name in its folder (links followed)
  int dirFd_ = -1;    // the target's folder
  int fd_ = -1;       // the data being written
  bool unnamed_ = false;
  std::string temp_;  // the named temporary file, when not unnamed
  bool keepMode_ = false;
  unsigned mode_ = 0;  // the replaced file's permissions
  std::string error_;
};

// Writes `bytes` to `path` through an AtomicFile. Returns the error text
// naming the file, empty on success.
std::string writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// Reads a whole regular file of at most maxBytes bytes. Devices, pipes and
// folders are refused without waiting for them. Returns an error text naming
// the file, empty on success.
std::string readWholeFile(const std::string& path, std::string& bytes,
                          size_t maxBytes = kMaxScoreFileBytes);

// Reads the same kind of file piece by piece into `sink`, for readers that
// need not hold the whole file (what sink throws passes on). Returns an error
// text naming the file, empty on success.
std::string readFileInPieces(const std::string& path, size_t maxBytes,
                             const std::function<void(std::string_view)>& sink);

}  // namespace kelvara
