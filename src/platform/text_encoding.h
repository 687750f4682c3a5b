#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kz {

// Text inside the system (labels, program text, settings values, paths) is
// Shift_JIS (code page 932) bytes; the screen and the file system speak UTF-8.
// A text that has no counterpart in the other encoding gives nullopt.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// System text for a UTF-8 text the program itself holds (labels, filters);
// such texts are always expressible in CP932.
std::string SystemText(std::string_view utf8);

// True when `byte` opens a two-byte CP932 character.
bool IsCp932LeadByte(unsigned char byte);

// The longest prefix of `cp932` of at most `maxBytes` bytes that does not end
// in the middle of a two-byte character.
std::string_view Cp932Prefix(std::string_view cp932, std::size_t maxBytes);

}  // namespace kz
