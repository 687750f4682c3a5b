// The standard values of both setup layouts on any bytes. Values depend on
// their fields only: what follows the last field never changes them, and each
// value of the text layout stands in the text as it was read.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "model/standard_values.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  const auto binary = kz::ParseStandardValuesBinary(input);
  if (binary) {
    KZ_FUZZ_CHECK(kz::ParseStandardValuesBinary(input + "\x5A\xA5") == binary);
    for (const std::int32_t value : *binary) KZ_FUZZ_CHECK(value >= -32768 && value <= 32767);
  }

  const auto text = kz::ParseStandardValuesText(input);
  if (!text) return 0;
  KZ_FUZZ_CHECK(kz::ParseStandardValuesText(input + "0x0000") == text);
  // Every value stands in the text as the four digits it was read from.
  for (const std::int32_t value : *text) {
    char field[8];
    std::snprintf(field, sizeof field, "0x%04x", static_cast<unsigned>(value) & 0xFFFFu);
    KZ_FUZZ_CHECK(input.find(field) != std::string::npos);
  }
  return 0;
}
