#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kz::testing {

// Edit-data bytes made by hand, for tests that read files back.

// Bytes written as hexadecimal pairs; blanks are ignored.
inline std::string Hex(std::string_view pairs) {
  std::string bytes;
  std::string digits;
  for (char c : pairs) {
    if (c == ' ' || c == '\n') continue;
    digits += c;
    if (digits.size() == 2) {
      bytes += static_cast<char>(std::stoi(digits, nullptr, 16));
      digits.clear();
    }
  }
  return bytes;
}

inline std::string Le32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}

inline std::string Zeros(std::size_t n) { return std::string(n, '\0'); }

// A header as an older or newer editor wrote it: sound "a.wav", waits 10 and
// 20, loop count 2.
inline std::string Header(std::int32_t version, std::uint32_t flags, std::int32_t count,
                          std::string_view magic = "kazo") {
  return std::string(magic) + Le32(static_cast<std::uint32_t>(version)) + Le32(flags) +
         Le32(static_cast<std::uint32_t>(count)) + Le32(2) + Zeros(12) + "a.wav" + Zeros(27) +
         Zeros(32) + Le32(10) + Le32(20);
}

// A pose record with travel time 60 and servo 0 = 7.
inline std::string Record(std::uint32_t flags, std::int32_t startTime, std::int32_t labelOffset) {
  return Le32(60) + Zeros(16) + Le32(flags) + Le32(static_cast<std::uint32_t>(startTime)) +
         Zeros(20) + Le32(static_cast<std::uint32_t>(labelOffset)) + "\x07" + Zeros(39);
}

// Files that are not whole edit data for a maximum of 2 poses.
struct NotWholeFile {
  const char* what;
  std::string file;
};
inline std::vector<NotWholeFile> NotWholeFiles() {
  const std::string a = std::string("a") + '\0';
  const std::string whole = Header(4, 0, 1) + Record(1, 0, 0) + a;
  return {
      {"empty", ""},
      {"wrong magic", Header(4, 0, 1, "KAZO") + Record(1, 0, 0) + a},
      {"shorter than the header", whole.substr(0, 103)},
      {"version 0", Header(0, 0, 1) + Record(1, 0, 0) + a},
      {"more poses than MAX_POSE",
       Header(4, 0, 3) + Record(1, 0, 0) + Record(1, 0, 0) + Record(1, 0, 0) + a + a + a},
      {"negative pose count", Header(4, 0, -1) + a},
      {"records cut short", Header(4, 0, 2) + Record(1, 0, 0) + a},
      {"version 1 records cut short", Header(1, 0, 1) + Record(1, 0, 0).substr(0, 91)},
      {"label offset past the table", Header(4, 0, 1) + Record(1, 0, 2) + a},
      {"negative label offset", Header(4, 0, 1) + Record(1, 0, -1) + a},
      {"label without its zero", Header(4, 0, 1) + Record(1, 0, 0) + "ab"},
      {"no label table", Header(4, 0, 1) + Record(1, 0, 0)},
  };
}

}  // namespace kz::testing
