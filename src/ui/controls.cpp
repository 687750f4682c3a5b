#include "ui/controls.h"

#include <charconv>
#include <cstdint>

namespace kz {

int Controls::ReadNumber(int id) const { return ParseFieldNumber(Text(id)); }

void Controls::WriteNumber(int id, int value) { SetText(id, std::to_string(value)); }

int ParseFieldNumber(const std::string& text) { return ParseStrictFieldNumber(text).value_or(0); }

std::optional<int> ParseStrictFieldNumber(const std::string& text) {
  std::size_t begin = text.find_first_not_of(" \t");
  std::size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return std::nullopt;
  const char* first = text.data() + begin;
  const char* last = text.data() + end + 1;
  // from_chars takes no '+'
  if (*first == '+' && ++first != last && *first == '-') return std::nullopt;
  std::int32_t value = 0;
  const auto [stop, error] = std::from_chars(first, last, value);
  if (error != std::errc() || stop != last) return std::nullopt;
  return value;
}

}  // namespace kz
