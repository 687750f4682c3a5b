#include "tools/eye_patterns.h"

#include <algorithm>
#include <cstdio>

#include "tools/forward_search.h"

namespace kz {
namespace {

constexpr std::string_view kPoseArrayHead = "<mem_w size=\"2\" adr=\"0x0a00\">";
constexpr std::string_view kArrayEnd = "</mem_w>";
constexpr std::string_view kValuePrefix = "0x";
// The values start on the line after the head.
constexpr std::size_t kFirstValueSearch = 30;
// Two lines of 24 values, then the 17th of the third line: left red.
constexpr int kLeftRedValue = 65;
// "0x%04hx" is six bytes: the next value cannot start sooner.
constexpr std::size_t kValueStep = 6;
// Six values with the commas between them; the mouth follows the last comma.
constexpr std::size_t kEyeWordsLength = 41;

// The position of the left red value of the array whose values are searched
// from `from` up to `end`; npos when the array does not hold that many
// values. The byte at `end` opens a tag, so a value never straddles it.
std::size_t LeftRedValue(const std::string& program, std::size_t from, std::size_t end) {
  const std::string_view array = std::string_view(program).substr(0, end);
  std::size_t found = std::string::npos;
  for (int n = 0; n < kLeftRedValue; ++n) {
    found = array.find(kValuePrefix, from);
    if (found == std::string::npos) return std::string::npos;
    from = found + kValueStep;
  }
  return found + kEyeWordsLength < end ? found : std::string::npos;
}

}  // namespace

int ReplaceEyePatterns(std::string& program, int leftPattern, int rightPattern) {
  char words[kEyeWordsLength + 1];
  std::snprintf(words, sizeof words, "0x0000,0x0000,0x%04hx,0x0000,0x0000,0x%04hx",
                static_cast<unsigned short>(leftPattern & 0xFF),
                static_cast<unsigned short>(rightPattern & 0xFF));
  // The patch writes no "<", so it never makes or breaks a tag searched for.
  ForwardSearch heads(kPoseArrayHead);
  ForwardSearch arrayEnds(kArrayEnd);
  int count = 0;
  for (std::size_t head = heads.From(program, 0); head != std::string::npos;) {
    // An array ends at its closing tag, or at the next array when the tag is
    // missing, so that a malformed array never lets the search run into the
    // next one.
    const std::size_t next = heads.From(program, head + kPoseArrayHead.size());
    const std::size_t end =
        std::min({arrayEnds.From(program, head + kPoseArrayHead.size()), next, program.size()});
    const std::size_t at = LeftRedValue(program, head + kFirstValueSearch, end);
    if (at != std::string::npos && program[at + kEyeWordsLength] == ',') {
      program.replace(at, kEyeWordsLength, words, kEyeWordsLength);
      ++count;
    }
    head = next;
  }
  return count;
}

}  // namespace kz
