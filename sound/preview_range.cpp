#include "sound/preview_range.h"

#include <charconv>
#include <optional>

namespace kelvara {

namespace {

std::optional<int32_t> parseBar(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int32_t v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return v;
}

}  // namespace

PreviewRangeCheck checkPreviewRange(bool all, std::string_view fromText, std::string_view toText) {
  PreviewRangeCheck c;
  if (all) return c;
  const std::optional<int32_t> from = parseBar(fromText);
  if (!from) {
    c.badBox = 1;
    c.error = "'" + std::string(fromText) + "' は整数ではありません";
    return c;
  }
  const std::optional<int32_t> to = parseBar(toText);
  if (!to) {
    c.badBox = 2;
    c.error = "'" + std::string(toText) + "' は整数ではありません";
    return c;
  }
  if (*from < 1 || *to < 1) {
    c.badBox = *from < 1 ? 1 : 2;
    c.error = "小節の番号は 1 以上で指定してください。";
    return c;
  }
  if (*from > *to) {
    c.badBox = 1;
    c.error = "始めの小節 (" + std::to_string(*from) + ") が終わりの小節 (" + std::to_string(*to) +
              ") より後ろにあります。範囲を指定し直してください。";
    return c;
  }
  c.range = {*from, *to};
  return c;
}

}  // namespace kelvara
