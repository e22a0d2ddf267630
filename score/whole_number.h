#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvara {

// Reads a whole number as users write it in a dialog box, a settings file or
// on the command line: blanks around it, an optional sign, decimal digits
// only. nullopt for anything else and for a number outside low..high.
std::optional<int32_t> parseWholeNumber(std::string_view text, int32_t low = INT32_MIN,
                                        int32_t high = INT32_MAX);

// True when the text is written as a whole number (as parseWholeNumber reads
// it), however large; tells "not a number" from "out of range".
bool isWholeNumberText(std::string_view text);

}  // namespace kelvara
