#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "score/editor_state.h"

namespace kelvara {

// What went wrong with a file. Readers and writers report errors as values;
// only the shell turns them into message boxes.
enum class FileError {
  None,
  CannotCreate,  // the file or its temporary copy could not be written
  CannotOpen,    // the file could not be opened or read
  Truncated,     // the file ends inside a value the layout says must follow
  WrongKind,     // the bytes are not laid out as our writer lays out this kind
  BadValue,      // the layout is right but a value is one the score cannot take
  Unwritable,    // the score holds a value this file kind cannot store
};

// The outcome of one read or write: an error kind and a message naming the
// file and the fault (empty on success).
struct FileResult {
  FileError error = FileError::None;
  std::string message;

  bool ok() const { return error == FileError::None; }

  static FileResult failure(FileError error, std::string message) {
    return FileResult{error, std::move(message)};
  }
};

// A reader's outcome. On success partsRead names every part that received
// records (and whose cursor was set to its first record); on failure the
// score is exactly as it was before the call.
struct LoadResult : FileResult {
  PerPart<uint8_t> partsRead{};
  // On success, something the user should know about how the file was read
  // (told once per load); empty when the file read exactly.
  std::string notice;

  LoadResult() = default;
  LoadResult(FileResult r) : FileResult(std::move(r)) {}  // NOLINT: implicit on purpose
};

}  // namespace kelvara
