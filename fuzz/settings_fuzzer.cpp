// The settings reader on any text: every value ends in its range, and what
// is written from it reads back the same without a notice.
#include <string>

#include "editor/settings_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kelvara;
  const int devices = 1 + static_cast<int>(size % 4);
  const std::string text(reinterpret_cast<const char*>(data), size);
  const SettingsReadResult r = parseSettings(text, devices);
  const Settings& v = r.values;
  if (v.MidiDevice < 0 || v.MidiDevice >= devices) fuzz::fail("device out of range");
  for (int32_t p : v.Programs) {
    if (p < 0 || p > 127) fuzz::fail("program out of range");
  }
  for (int32_t pad : v.PadChoice) {
    if (pad < -1 || pad >= kPadItems) fuzz::fail("pad choice out of range");
  }
  if ((v.BlinkCursor != 0 && v.BlinkCursor != 1) || (v.UpDownAction != 0 && v.UpDownAction != 1)) {
    fuzz::fail("option out of range");
  }
  const SettingsReadResult back = parseSettings(formatSettings(v), devices);
  if (!back.notice.empty()) fuzz::fail("written settings read with a notice");
  if (formatSettings(back.values) != formatSettings(v)) fuzz::fail("settings round trip");
  return 0;
}
