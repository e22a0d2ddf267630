#include "score/ui_text.h"

#include <atomic>

#include "score/editor_state.h"

namespace kelvara {

namespace {

// Notices are also posted from the sound threads.
std::atomic<UiTextLookup> installed{nullptr};

}  // namespace

void setUiTextLookup(UiTextLookup lookup) {
  installed.store(lookup);
}

std::string uiText(const char* context, const char* japanese) {
  const UiTextLookup lookup = installed.load();
  return lookup != nullptr ? lookup(context, japanese) : std::string(japanese);
}

std::string partText(int part) {
  if (part == kPercussionPart) return uiText("kelvara::PartNames", "パーカッション");
  // The tenth melodic part follows the percussion part's index.
  const int number = part == kPartCount - 1 ? 10 : part + 1;
  return fillText(uiText("kelvara::PartNames", "%1パート"), {std::to_string(number)});
}

const char* partListSpace(int part) {
  return part < kPercussionPart ? " " : "";
}

std::string fillText(std::string_view text, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto n = static_cast<size_t>(text[i + 1] - '1');
      if (n < args.size()) {
        out.append(*(args.begin() + n));
        ++i;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

}  // namespace kelvara
