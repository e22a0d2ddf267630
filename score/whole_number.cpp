#include "score/whole_number.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace kelvara {

namespace {

bool isBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view withoutBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<int32_t> parseWholeNumber(std::string_view text, int32_t low, int32_t high) {
  if (!isWholeNumberText(text)) return std::nullopt;
  text = withoutBlanks(text);
  if (text.front() == '+') text.remove_prefix(1);
  int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value < low || value > high) return std::nullopt;
  return static_cast<int32_t>(value);
}

bool isWholeNumberText(std::string_view text) {
  text = withoutBlanks(text);
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

}  // namespace kelvara
