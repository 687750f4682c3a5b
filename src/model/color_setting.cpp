#include "model/color_setting.h"

#include <charconv>

namespace kz {
namespace {

constexpr std::size_t kColorCapacity = 16;

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::uint32_t HexByte(std::string_view two) {
  std::uint32_t value = 0;
  std::from_chars(two.data(), two.data() + two.size(), value, 16);
  return value;
}

}  // namespace

std::optional<std::uint32_t> ParseColorSetting(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  for (char c : text.substr(1))
    if (!IsHexDigit(c)) return std::nullopt;
  const std::uint32_t red = HexByte(text.substr(1, 2));
  const std::uint32_t green = HexByte(text.substr(3, 2));
  const std::uint32_t blue = HexByte(text.substr(5, 2));
  return red | green << 8 | blue << 16;
}

std::uint32_t ReadColorSetting(const Settings& settings) {
  const auto text = settings.ReadText("POSE", "LED_COLOR", kDefaultLedColorText, kColorCapacity);
  return ParseColorSetting(text).value_or(*ParseColorSetting(kDefaultLedColorText));
}

}  // namespace kz
