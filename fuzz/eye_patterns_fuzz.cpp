// The eye conversion on any program text: the length never changes, only
// bytes inside pose arrays change, and converting again changes nothing more.
//
// Input: the left and right pattern numbers (a byte each), then the program.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "tools/eye_patterns.h"

namespace {

constexpr std::string_view kPoseArrayHead = "<mem_w size=\"2\" adr=\"0x0a00\">";
constexpr std::string_view kArrayEnd = "</mem_w>";

bool InsidePoseArray(const std::string& program, std::size_t at) {
  const std::size_t head = program.rfind(kPoseArrayHead, at);
  if (head == std::string::npos) return false;
  const std::size_t end = program.find(kArrayEnd, head + kPoseArrayHead.size());
  return end == std::string::npos || at < end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int left = data[0];
  const int right = data[1];
  const std::string program(reinterpret_cast<const char*>(data) + 2, size - 2);

  std::string converted = program;
  const int count = kz::ReplaceEyePatterns(converted, left, right);
  KZ_FUZZ_CHECK(converted.size() == program.size());
  KZ_FUZZ_CHECK(count > 0 || converted == program);
  for (std::size_t i = 0; i < program.size(); ++i)
    if (converted[i] != program[i]) KZ_FUZZ_CHECK(InsidePoseArray(program, i));

  std::string twice = converted;
  KZ_FUZZ_CHECK(kz::ReplaceEyePatterns(twice, left, right) == count);
  KZ_FUZZ_CHECK(twice == converted);
  return 0;
}
