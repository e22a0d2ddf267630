#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kelvara {

// The engine writes what it tells a user in Japanese and looks each text up
// here, by a context and the Japanese text, in the interface's language. The
// shell installs the lookup; without one every text stays Japanese.
using UiTextLookup = std::string (*)(const char* context, const char* japanese);

// Installs the lookup (nullptr: Japanese as written).
void setUiTextLookup(UiTextLookup lookup);

// The text in the interface's language.
std::string uiText(const char* context, const char* japanese);

// A part's name in messages ("3パート", "パーカッション"), in the interface's
// language.
std::string partText(int part);

// The text with %1 .. %9 replaced by args in one pass, so an argument that
// itself holds "%2" (a file name) is left as it is.
std::string fillText(std::string_view text, std::initializer_list<std::string_view> args);

}  // namespace kelvara
