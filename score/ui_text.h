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

// Marks a text in a table for the translation and gives it back unchanged;
// uiText(context, text) looks it up where it is shown.
constexpr const char* uiTextMark(const char* /*context*/, const char* japanese) {
  return japanese;
}

// A part's name in messages ("3パート", "パーカッション"), in the interface's
// language.
std::string partText(int part);

// The space the part lists put before a one-digit part's name (" 3パート").
// Japanese messages keep it in a place of their own; English leaves it out.
const char* partListSpace(int part);

// The text with %1 .. %9 replaced by args in one pass, so an argument that
// itself holds "%2" (a file name) is left as it is.
std::string fillText(std::string_view text, std::initializer_list<std::string_view> args);

}  // namespace kelvara
