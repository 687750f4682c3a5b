#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kz {

// The classic INI text form, on the bytes of a whole file: "[SECTION]" lines,
// then "KEY=value" lines. Section and key names match without regard to
// ASCII case and surrounding blanks.

// The value of the key, blanks around it removed; nullopt when the section
// or the key is missing.
std::optional<std::string> FindIniValue(std::string_view file, std::string_view section,
                                        std::string_view key);

// The file with the key set to `value`: the key's line is replaced, or added at
// the end of its section, or the section is added at the end of the file.
// Every other byte is kept. New lines take the file's own line end.
std::string SetIniValue(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace kz
