// The MusicXML reader on any text: no crash; a refused file leaves the
// score exactly as it was and names the file; what it accepts exports
// again and reads back.
#include "files/musicxml_export.h"
#include "files/musicxml_import.h"
#include "fuzz_support.h"

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kelvara;
  EditorState s;
  fuzz::fillSample(s);
  const std::string before = fuzz::describe(s);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const LoadResult r = decodeMusicXml(s, text, "fuzz.musicxml");
  if (!r.ok()) {
    if (fuzz::describe(s) != before) fuzz::fail("a refused file changed the score");
    if (r.message.find("fuzz.musicxml") == std::string::npos)
      fuzz::fail("message without the file");
    return 0;
  }
  std::string exported;
  try {
    exported = encodeMusicXml(s, "fuzz");
  } catch (const std::length_error&) {
    return 0;  // too long to export: refused by the writer, with a message
  }
  EditorState again;
  again.createLists();
  const LoadResult back = decodeMusicXml(again, exported, "again.musicxml");
  if (!back.ok()) fuzz::fail("an accepted score does not read back: " + back.message);
  return 0;
}
