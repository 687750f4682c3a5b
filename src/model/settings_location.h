#pragma once

#include <optional>
#include <string>

namespace kz {

inline constexpr const char* kSettingsFileName = "KZMotion.ini";

// Where the settings file lives: `overridePath` when given (the --settings
// option); else "KZMotion.ini" beside the program when that folder is
// writable; else KZMotion/KZMotion.ini in the user's configuration folder
// ($XDG_CONFIG_HOME, else ~/.config), its KZMotion folder created.
// System text (CP932); nullopt when no place can be found.
std::optional<std::string> LocateSettingsFile(const std::optional<std::string>& overridePath);

// The choice LocateSettingsFile makes without an override, with the places
// handed in: beside the program when its folder is known and writable, else
// in the KZMotion folder under `configFolder`, which is created here. nullopt
// when neither place works.
std::optional<std::string> ChooseSettingsPath(const std::optional<std::string>& programFolder,
                                              bool programFolderWritable,
                                              const std::optional<std::string>& configFolder);

}  // namespace kz
