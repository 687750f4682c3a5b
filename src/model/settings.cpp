#include "model/settings.h"

#include <cstdint>
#include <optional>

#include "model/ini_text.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"

namespace kz {
namespace {

// A missing or unreadable file reads as an empty one.
std::string LoadOrEmpty(const std::string& path) {
  std::string contents;
  if (!ReadWholeFile(path, contents)) contents.clear();
  return contents;
}

std::optional<std::string> Lookup(const std::string& path, std::string_view section,
                                  std::string_view key) {
  return FindIniValue(LoadOrEmpty(path), section, key);
}

// The leading decimal digits after blanks; no sign is taken, so "-5" reads 0.
// More digits than fit wrap around modulo 2^32, as the platform's own reader
// does: a file it wrote or read reads the same here, and no length of digits
// can overflow a signed value.
int LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::uint32_t number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number = static_cast<std::uint32_t>(number * 10u + static_cast<std::uint32_t>(text[i] - '0'));
  }
  return static_cast<int>(number);
}

}  // namespace

int Settings::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
  const auto value = Lookup(path_, section, key);
  return value ? LeadingNumber(*value) : defaultValue;
}

bool Settings::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return ReadInt(section, key, defaultValue ? 1 : 0) == 1;
}

std::string Settings::ReadText(std::string_view section, std::string_view key,
                               std::string_view defaultValue, std::size_t capacity) const {
  if (capacity == 0) return std::string();
  const auto value = Lookup(path_, section, key);
  return std::string(Cp932Prefix(value ? std::string_view(*value) : defaultValue, capacity - 1));
}

bool Settings::WriteText(std::string_view section, std::string_view key, std::string_view value) {
  if (readOnly_) return true;
  if (!IsWritableIniEntry(section, key, value)) return false;
  std::string contents;
  if (!ReadWholeFile(path_, contents)) {
    // Something that exists but cannot be read must not be replaced by a file
    // holding only this one key.
    if (FileExists(path_) || FolderExists(path_)) return false;
    contents.clear();
  }
  return WriteFileAtomically(path_, SetIniValue(contents, section, key, value));
}

bool Settings::WriteInt(std::string_view section, std::string_view key, int value) {
  return WriteText(section, key, std::to_string(value));
}

bool Settings::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteText(section, key, value ? "1" : "0");
}

}  // namespace kz
