// The settings text: finding and setting keys in any file. A key set to a
// value finds that value, and every other key keeps what it found before.
//
// Input: a section, a key, a value, a second section and a second key (each
// a length byte and its bytes), then the file.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "model/ini_text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Loosely the same name: ASCII case folded on every byte. The reader folds
// fewer bytes (never a trail byte), so names that differ here differ there.
bool LooselySame(std::string_view a, std::string_view b) {
  a = Trim(a);
  b = Trim(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// What the reader gives back for a value written as is.
std::string Found(std::string_view value) {
  value = Trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kz::fuzz::ByteSource source(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string section = source.Text(64);
  const std::string key = source.Text(64);
  const std::string value = source.Text(255);
  const std::string otherSection = source.Text(64);
  const std::string otherKey = source.Text(64);
  const std::string_view file = source.Rest();

  const auto before = kz::FindIniValue(file, otherSection, otherKey);
  (void)kz::FindIniValue(file, section, key);
  if (!kz::IsWritableIniEntry(section, key, value)) return 0;

  const std::string written = kz::SetIniValue(file, section, key, value);
  KZ_FUZZ_CHECK(kz::FindIniValue(written, section, key) == Found(value));
  if (!LooselySame(section, otherSection) || !LooselySame(key, otherKey))
    KZ_FUZZ_CHECK(kz::FindIniValue(written, otherSection, otherKey) == before);
  return 0;
}
