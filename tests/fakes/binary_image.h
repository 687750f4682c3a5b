#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace kz::testing {

// Bytes written out by hand.
inline std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int value : values) out += static_cast<char>(value);
  return out;
}

// A 0x30000-byte image whose dispatch calculation for `number` sits at
// `calc` (the offset of its jump target) and points at `target`.
inline std::string DispatchImage(int number, std::size_t calc, std::uint32_t target) {
  std::string image(0x30000, '\0');
  const std::string entry = Bytes({0xC0, 0xC9, 0x10, 0x02, 0x00, 0x00, 0xC4, number & 0xFF,
                                   number >> 8, 0x00, 0x00, 0xD1, 0xD9, 0xE0});
  image.replace(calc - entry.size(), entry.size(), entry);
  image.replace(calc, 4,
                Bytes({static_cast<int>(target & 0xFF), static_cast<int>(target >> 8 & 0xFF),
                       static_cast<int>(target >> 16 & 0xFF), static_cast<int>(target >> 24)}));
  return image;
}

}  // namespace kz::testing
