// The whole-score reader on any bytes: no crash, and a refused file leaves
// the score exactly as it was and says why.
#include "files/zqf3_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kelvara;
  EditorState s;
  fuzz::fillSample(s);
  const std::string before = fuzz::describe(s);
  const LoadResult r = decodeZqf3(s, std::span(data, size), "fuzz.zqf3");
  if (!r.ok()) {
    if (fuzz::describe(s) != before) fuzz::fail("a refused file changed the score");
    if (r.message.find("fuzz.zqf3") == std::string::npos) fuzz::fail("message without the file");
  }
  return 0;
}
