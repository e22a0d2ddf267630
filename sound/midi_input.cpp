#include "sound/midi_input.h"

namespace kelvara {

std::optional<ShortMessage> channelMessage(const uint8_t* bytes, size_t count) {
  if (bytes == nullptr || count == 0 || bytes[0] < 0x80 || bytes[0] >= 0xF0) return std::nullopt;
  const uint32_t data1 = count > 1 ? bytes[1] : 0;
  const uint32_t data2 = count > 2 ? bytes[2] : 0;
  if (data1 > 0x7F || data2 > 0x7F) return std::nullopt;
  ShortMessage m = unpackShortMessage(packShortMessage(bytes[0], data1, data2));
  if (static_cast<size_t>(m.length) != count) return std::nullopt;
  return m;
}

}  // namespace kelvara
