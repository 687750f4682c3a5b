#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kz {

// The pieces of program text that the jump tools look for. Every search is a
// plain byte-substring search and every name comparison is byte-wise, so the
// Shift_JIS text is never decoded.

// Both the block table and the jump list hold at most this many entries.
inline constexpr std::size_t kJumpTableMax = 1024;

inline constexpr std::string_view kMeditTag = "<medit>";
inline constexpr std::string_view kBlockNameTag = "<block name=";
inline constexpr std::string_view kJumpTag = "<jump adr=";
// A block's "<medit>" is looked for from this many bytes before its
// "<block name=".
inline constexpr std::size_t kHeaderLookBack = 16;
// A jump address in a program: "0x" and eight lower-case hexadecimal digits.
inline constexpr std::size_t kAddressLength = 10;

// The first occurrence of `what` at or after `from`; npos when there is none
// (also when `from` lies beyond the text).
std::size_t FindFrom(std::string_view text, std::string_view what, std::size_t from);

// Where the quoted value of a tag found at `tag` begins: one byte after the
// tag, behind its opening double quote.
inline std::size_t ValueStart(std::size_t tag, std::string_view tagText) {
  return tag + tagText.size() + 1;
}

// The end of a value that begins at `start`: its closing double quote, or
// the end of the text when no quote follows.
std::size_t ValueEnd(std::string_view text, std::size_t start);

// Up to `count` bytes of the text from `start`, for messages.
std::string_view BytesAt(std::string_view text, std::size_t start, std::size_t count);

// The "<medit>" that opens the block whose "<block name=" stands at `tag`:
// the first one found from 16 bytes before the tag (from the start of the
// text when that is nearer); npos when the rest of the text holds none.
std::size_t BlockHeaderOf(std::string_view text, std::size_t tag);

// Reads the ten bytes from `start` as a program writes a jump address; false
// when they are not "0x" and eight digits 0-9 or a-f (upper case is refused).
bool ReadJumpAddress(std::string_view text, std::size_t start, std::uint32_t& address);

// `path` with its extension replaced by `extension` (".TXT", ".KM4"), or with
// `extension` appended when its file name has none. Only a "." in the file
// name counts: a dotted folder name is kept whole.
std::string WithExtension(std::string_view path, std::string_view extension);

// `path` without its file name's extension.
std::string WithoutExtension(std::string_view path);

}  // namespace kz
