#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "files/file_result.h"
#include "score/editor_state.h"
#include "score/onpu.h"

namespace kelvara {

struct RecordDeleter {
  void operator()(TOnpu* r) const { freeRecord(r); }
};
// A record read from a file but not yet linked into a part.
using RecordPtr = std::unique_ptr<TOnpu, RecordDeleter>;

// One part's share of a file, complete and checked.
struct LoadedPart {
  int part = 0;
  std::optional<int32_t> program;
  std::optional<int32_t> volume;
  std::optional<int32_t> pan;
  std::vector<RecordPtr> records;  // in score order, Closed = 1
};

// Everything a file says, read into fresh structures first so that a file
// that turns out to be broken halfway changes nothing. Unset values leave the
// score's own values alone.
struct LoadedScore {
  std::optional<int32_t> keySig;
  std::optional<uint8_t> major;
  std::optional<int32_t> timeNum;
  std::optional<int32_t> timeDen;
  std::optional<int32_t> tempo;
  std::vector<LoadedPart> parts;
  bool rounded = false;  // some time was rounded to whole 64ths
};

// Moves a completely read file into the score: the settings it carries, and
// each part's records linked one after another directly after the part's
// start marker (ahead of whatever the part still holds; the load command
// empties the parts first). The part's cursor goes to its first record at the
// start of bar 1, and a page that began at the part's old first record begins
// at the new one. Cannot fail.
void handOver(EditorState& s, LoadedScore& loaded, LoadResult& result);

// The message for a fault found while reading `path`.
std::string readFaultMessage(const std::string& path, const std::string& detail);

// The message when memory ran out while reading `path`.
std::string outOfMemoryMessage(const std::string& path);

}  // namespace kelvara
