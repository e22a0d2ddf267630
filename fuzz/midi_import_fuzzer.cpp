// The MIDI importer on any bytes. A refused file changes nothing and is
// named in the message; an imported score can be exported again, and that
// export imports too (within the same load limits).
#include "files/midi_export.h"
#include "files/midi_import.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kelvara;
  EditorState s;
  fuzz::fillSample(s);
  const std::string before = fuzz::describe(s);
  const LoadResult r = decodeMidiImport(s, std::span(data, size), "fuzz.mid");
  if (!r.ok()) {
    if (fuzz::describe(s) != before) fuzz::fail("a refused file changed the score");
    if (r.message.find("fuzz.mid") == std::string::npos) fuzz::fail("message without the file");
    return 0;
  }
  EditorState imported;
  imported.createLists();
  const LoadResult again = decodeMidiImport(imported, std::span(data, size), "fuzz.mid");
  if (!again.ok() || again.notice != r.notice) fuzz::fail("the same file imported differently");
  std::vector<uint8_t> bytes;
  if (!encodeMidiExport(imported, 0, -1, "again.mid", bytes).ok()) return 0;
  EditorState t;
  t.createLists();
  const LoadResult back = decodeMidiImport(t, bytes, "again.mid");
  if (!back.ok()) fuzz::fail("an imported score's export cannot be imported: " + back.message);
  return 0;
}
