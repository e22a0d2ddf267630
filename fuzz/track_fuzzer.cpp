// The track-file reader on any bytes, as a whole score (".zqf2") or, built
// with KELVARA_FUZZ_INTO_PART, one track into a chosen part (".zqf"). A
// refused file changes nothing; a read file, written again and read back,
// gives the same records and no rounding notice.
#include "files/track_file.h"
#include "fuzz_support.h"

namespace {
#ifdef KELVARA_FUZZ_INTO_PART
constexpr bool kSingle = true;
#else
constexpr bool kSingle = false;
#endif
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kelvara;
  const int into = static_cast<int>(size % kPartCount);
  EditorState s;
  fuzz::fillSample(s);
  const std::string before = fuzz::describe(s);
  const LoadResult r = decodeTrackFile(s, std::span(data, size), "fuzz.zqf2", kSingle, into);
  if (!r.ok()) {
    if (fuzz::describe(s) != before) fuzz::fail("a refused file changed the score");
    if (r.message.find("fuzz.zqf2") == std::string::npos) fuzz::fail("message without the file");
    return 0;
  }
  EditorState t;
  t.createLists();
  for (int p = 0; p < kPartCount; ++p) s.PartSelected[p] = r.partsRead[p];
  std::vector<uint8_t> bytes;
  const FileResult w = encodeTrackFile(s, 0, -1, "again.zqf2", bytes);
  if (!w.ok()) fuzz::fail("a read file cannot be written again: " + w.message);
  const LoadResult back = decodeTrackFile(t, bytes, "again.zqf2", false, 0);
  if (!back.ok()) fuzz::fail("a written file cannot be read back: " + back.message);
  if (!back.notice.empty()) fuzz::fail("our own file needed rounding");
  for (int p = 0; p < kPartCount; ++p) {
    if (!r.partsRead[p]) continue;
    const TOnpu* a = firstRecordOf(s.PartHead[p]);
    const TOnpu* b = firstRecordOf(t.PartHead[p]);
    // The sample's own records after the read ones are not part of the file.
    for (; !isEndMarker(*b); a = a->Next, b = b->Next) {
      if (a->Pitch != b->Pitch || a->Length != b->Length || a->LastIndex != b->LastIndex) {
        fuzz::fail("track file round trip changed part " + std::to_string(p));
      }
    }
  }
  return 0;
}
