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

// False when `path` stands but cannot be read whole: a device, FIFO, folder
// or a file beyond the reading limit. Every read of it would fail and the
// editor would run on defaults the user never asked for. A missing file is
// usable: every key has a default.
bool IsUsableSettingsFile(const std::string& path);

// The message both programs print when IsUsableSettingsFile refuses `path`.
std::string UnusableSettingsFileText(const std::string& path);

// The choice LocateSettingsFile makes without an override, with the places
// handed in: beside the program when its folder is known and writable, else
// in the KZMotion folder under `configFolder`, which is created here. nullopt
// when neither place works.
std::optional<std::string> ChooseSettingsPath(const std::optional<std::string>& programFolder,
                                              bool programFolderWritable,
                                              const std::optional<std::string>& configFolder);

}  // namespace kz
