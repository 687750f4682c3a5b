// CP932 and UTF-8 on any bytes. A CP932 text that converts comes back from
// UTF-8 as a text with the same characters (CP932 has a few codes twice; the
// way back picks one), so a converted text is a fixed point. A UTF-8 text
// that converts comes back with the same CP932 bytes: a few characters
// without a code of their own (the cent sign, for one) take that of their
// full-width form and come back as it. Prefixes never end in half a
// character.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/text_encoding.h"

namespace {

void CheckPrefix(std::string_view text, std::size_t maxBytes) {
  const std::string_view prefix = kz::Cp932Prefix(text, maxBytes);
  KZ_FUZZ_CHECK(prefix.size() <= maxBytes && text.starts_with(prefix));
  // Whole characters, unless the text itself ends in half of one.
  std::size_t at = 0;
  while (at < prefix.size())
    at += kz::IsCp932LeadByte(static_cast<unsigned char>(prefix[at])) ? 2 : 1;
  KZ_FUZZ_CHECK(at == prefix.size() || prefix.size() == text.size());
  // The longest such prefix: the next character does not fit.
  if (prefix.size() < text.size()) {
    const std::size_t next =
        kz::IsCp932LeadByte(static_cast<unsigned char>(text[prefix.size()])) ? 2 : 1;
    KZ_FUZZ_CHECK(prefix.size() + next > maxBytes);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  if (const auto utf8 = kz::Cp932ToUtf8(input)) {
    const auto cp932 = kz::Utf8ToCp932(*utf8);
    KZ_FUZZ_CHECK(cp932.has_value());
    KZ_FUZZ_CHECK(kz::Cp932ToUtf8(*cp932) == utf8);
    KZ_FUZZ_CHECK(kz::Utf8ToCp932(*kz::Cp932ToUtf8(*cp932)) == cp932);
  }
  if (const auto cp932 = kz::Utf8ToCp932(input)) {
    const auto back = kz::Cp932ToUtf8(*cp932);
    KZ_FUZZ_CHECK(back.has_value() && kz::Utf8ToCp932(*back) == cp932);
    KZ_FUZZ_CHECK(kz::SystemText(input) == *cp932);
  }
  CheckPrefix(input, size > 0 ? data[0] : 0);
  CheckPrefix(input, size / 2);
  return 0;
}
