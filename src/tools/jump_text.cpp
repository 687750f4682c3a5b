#include "tools/jump_text.h"

#include <algorithm>

#include "platform/paths.h"

namespace kz {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Where the file name's extension begins; npos when it has none. A "." never
// occurs inside a two-byte Shift_JIS character, so a byte search is safe.
std::size_t ExtensionStart(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t separator = path.rfind(kPathSeparator);
  if (dot == std::string_view::npos) return dot;
  if (separator != std::string_view::npos && dot < separator) return std::string_view::npos;
  return dot;
}

}  // namespace

std::size_t FindFrom(std::string_view text, std::string_view what, std::size_t from) {
  if (from > text.size()) return std::string_view::npos;
  return text.find(what, from);
}

std::size_t ValueEnd(std::string_view text, std::size_t start) {
  if (start >= text.size()) return text.size();
  const std::size_t quote = text.find('"', start);
  return quote == std::string_view::npos ? text.size() : quote;
}

std::string_view BytesAt(std::string_view text, std::size_t start, std::size_t count) {
  if (start >= text.size()) return {};
  return text.substr(start, count);
}

std::size_t BlockHeaderOf(std::string_view text, std::size_t tag) {
  return text.find(kMeditTag, tag > kHeaderLookBack ? tag - kHeaderLookBack : 0);
}

bool ReadJumpAddress(std::string_view text, std::size_t start, std::uint32_t& address) {
  const std::string_view value = BytesAt(text, start, kAddressLength);
  if (value.size() != kAddressLength || !value.starts_with("0x")) return false;
  std::uint32_t result = 0;
  for (const char c : value.substr(2)) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    result = result << 4 | static_cast<std::uint32_t>(digit);
  }
  address = result;
  return true;
}

std::string WithExtension(std::string_view path, std::string_view extension) {
  std::string result(path.substr(0, std::min(ExtensionStart(path), path.size())));
  result += extension;
  return result;
}

std::string WithoutExtension(std::string_view path) { return WithExtension(path, ""); }

}  // namespace kz
