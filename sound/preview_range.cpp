#include "sound/preview_range.h"

#include <optional>

#include "score/whole_number.h"

namespace kelvara {

PreviewRangeCheck checkPreviewRange(bool all, std::string_view fromText, std::string_view toText) {
  PreviewRangeCheck c;
  if (all) return c;
  const std::optional<int32_t> from = parseWholeNumber(fromText);
  if (!from) {
    c.badBox = 1;
    c.error = "'" + std::string(fromText) + "' は整数ではありません";
    return c;
  }
  const std::optional<int32_t> to = parseWholeNumber(toText);
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
