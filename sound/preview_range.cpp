#include "sound/preview_range.h"

#include <optional>

#include "score/ui_text.h"
#include "score/whole_number.h"

namespace kelvara {

PreviewRangeCheck checkPreviewRange(bool all, std::string_view fromText, std::string_view toText) {
  PreviewRangeCheck c;
  if (all) return c;
  const std::optional<int32_t> from = parseWholeNumber(fromText);
  if (!from) {
    c.badBox = 1;
    c.error = fillText(uiText("kelvara::Sound", "'%1' は整数ではありません"), {fromText});
    return c;
  }
  const std::optional<int32_t> to = parseWholeNumber(toText);
  if (!to) {
    c.badBox = 2;
    c.error = fillText(uiText("kelvara::Sound", "'%1' は整数ではありません"), {toText});
    return c;
  }
  if (*from < 1 || *to < 1) {
    c.badBox = *from < 1 ? 1 : 2;
    c.error = uiText("kelvara::Sound", "小節の番号は 1 以上で指定してください。");
    return c;
  }
  if (*from > *to) {
    c.badBox = 1;
    c.error = fillText(uiText("kelvara::Sound",
                              "始めの小節 (%1) が終わりの小節 (%2) より後ろにあります。"
                              "範囲を指定し直してください。"),
                       {std::to_string(*from), std::to_string(*to)});
    return c;
  }
  c.range = {*from, *to};
  return c;
}

}  // namespace kelvara
