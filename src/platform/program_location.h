#pragma once

#include <optional>
#include <string>

namespace kz {

// Folder of the running program, with its trailing separator, as system text;
// nullopt when it cannot be found or expressed in CP932.
std::optional<std::string> ProgramFolder();

// `$XDG_CONFIG_HOME`, else `$HOME/.config`, as system text, without a trailing
// separator; nullopt when neither is set or expressible.
std::optional<std::string> UserConfigFolder();

// Creates the folder and its missing parents.
bool CreateFolders(const std::string& path);

}  // namespace kz
