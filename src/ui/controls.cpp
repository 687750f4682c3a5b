#include "ui/controls.h"

#include <charconv>
#include <cstdint>

namespace kz {

int Controls::ReadNumber(int id) const { return ParseFieldNumber(Text(id)); }

void Controls::WriteNumber(int id, int value) { SetText(id, std::to_string(value)); }

int ParseFieldNumber(const std::string& text) {
  std::size_t begin = text.find_first_not_of(" \t");
  std::size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return 0;
  const char* first = text.data() + begin;
  const char* last = text.data() + end + 1;
  if (*first == '+' && ++first != last && *first == '-') return 0;  // from_chars takes no '+'
  std::int32_t value = 0;
  const auto [stop, error] = std::from_chars(first, last, value);
  return error == std::errc() && stop == last ? value : 0;
}

}  // namespace kz
