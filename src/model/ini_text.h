#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kz {

// The classic INI text form, on the bytes of a whole file: "[SECTION]" lines,
// then "KEY=value" lines; lines whose first non-blank byte is ';' are comments.
// Lines end in LF or CR LF. Section and key names match without regard to
// ASCII case and surrounding blanks; the first matching section is the
// section, and within it the first matching key is the key. Text is CP932:
// the second byte of a two-byte character is never taken for a bracket or a
// letter to fold.

// The value of the key, blanks around it removed, then one pair of matching
// double or single quotes around it removed; nullopt when the section or the
// key is missing.
std::optional<std::string> FindIniValue(std::string_view file, std::string_view section,
                                        std::string_view key);

// The file with the key set to `value`: the key's value is replaced in its
// line, or a "KEY=value" line is added after the last non-blank line of its
// section, or the section is added at the end of the file after a blank line.
// Every other byte is kept. New lines take the file's own line end (that of
// its first line; LF for a file without one); the line they follow first gets
// a line end when it has none or ends in a bare CR. The entry must pass
// IsWritableIniEntry.
std::string SetIniValue(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value);

// True when writing the entry cannot break the file's line structure and it
// reads back as written: no CR, LF or NUL anywhere, none ending in the first
// byte of a two-byte character, no ']' in the section name, and a key that is
// not blank, holds no '=' and does not begin like a comment or a section line.
bool IsWritableIniEntry(std::string_view section, std::string_view key, std::string_view value);

}  // namespace kz
