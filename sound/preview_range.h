#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvara {

// The bars a preview plays: fromBar..toBar, numbered from 1; toBar below 0
// plays every bar.
struct PreviewRange {
  int32_t fromBar = 0;
  int32_t toBar = -1;
};

// The preview dialog's range boxes, checked. `badBox` names the box to fix
// (1 the first, 2 the last, 0 none) and `error` says why in the user's words.
struct PreviewRangeCheck {
  PreviewRange range;
  int badBox = 0;
  std::string error;
  bool ok() const { return badBox == 0; }
};

// "すべて" (`all`) plays everything and leaves the boxes unread (they are
// disabled then). Otherwise both must hold whole numbers (blanks around are
// allowed), bars start at 1, and the first may not come after the last.
PreviewRangeCheck checkPreviewRange(bool all, std::string_view fromText, std::string_view toText);

}  // namespace kelvara
