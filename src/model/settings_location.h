#pragma once

#include <optional>
#include <string>

namespace kz {

inline constexpr const char* kSettingsFileName = "KZMotion.ini";

// Where the settings file lives: `overridePath` when given (the --settings
// option); else "KZMotion.ini" beside the program when that folder is
// writable; else $XDG_CONFIG_HOME/KZMotion/KZMotion.ini (its folder created).
// System text (CP932); nullopt when no place can be found.
std::optional<std::string> LocateSettingsFile(const std::optional<std::string>& overridePath);

}  // namespace kz
