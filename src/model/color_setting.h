#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "model/settings.h"

namespace kz {

inline constexpr const char* kDefaultLedColorText = "#FF8000";

// "#RRGGBB" (hexadecimal digits of either case) as a colour 0x00BBGGRR;
// nullopt for any other text.
std::optional<std::uint32_t> ParseColorSetting(std::string_view text);

// POSE/LED_COLOR as a colour; a value that is not "#RRGGBB" gives the default.
std::uint32_t ReadColorSetting(const Settings& settings);

}  // namespace kz
