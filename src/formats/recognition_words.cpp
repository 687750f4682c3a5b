#include "formats/recognition_words.h"

#include <cstdint>
#include <string>

namespace kz {
namespace {

constexpr std::uint32_t kUsableFlag = 0x20;

// The leading decimal number of a column, as the C library's atoi reads it:
// blanks, a sign, digits; 0 without digits. Wraps beyond 32 bits.
std::int32_t LeadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
  return static_cast<std::int32_t>(negative ? 0u - value : value);
}

enum class LineResult { kTaken, kSkipped, kEnd };

LineResult ParseLine(std::string_view line, RecognitionWord& word) {
  constexpr auto npos = std::string_view::npos;
  // Commas that end columns 1 to 6.
  std::size_t comma[6];
  comma[0] = line.find(',');
  if (comma[0] == npos) return LineResult::kEnd;
  const std::string_view flags = line.substr(0, comma[0]);
  if (!flags.empty() && (static_cast<std::uint32_t>(LeadingInteger(flags)) & kUsableFlag) == 0)
    return LineResult::kSkipped;
  for (int c = 1; c < 6; ++c) {
    comma[c] = line.find(',', comma[c - 1] + 1);
    if (comma[c] == npos) return LineResult::kEnd;
  }
  // An empty seventh column marks a word the robot does not offer.
  if (comma[5] + 1 < line.size() && line[comma[5] + 1] == ',') return LineResult::kSkipped;
  word.text = std::string(line.substr(comma[0] + 1, comma[1] - comma[0] - 1));
  const std::int32_t number = LeadingInteger(line.substr(comma[3] + 1));
  word.number = static_cast<std::int16_t>(static_cast<std::uint16_t>(number));
  return LineResult::kTaken;
}

}  // namespace

std::vector<RecognitionWord> ParseRecognitionWords(std::string_view text) {
  std::vector<RecognitionWord> words;
  bool header = true;
  while (!text.empty() && words.size() < kRecognitionWordMax) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (header) {
      header = false;
      continue;
    }
    RecognitionWord word;
    const LineResult result = ParseLine(line, word);
    if (result == LineResult::kEnd) break;
    if (result == LineResult::kTaken) words.push_back(std::move(word));
  }
  return words;
}

}  // namespace kz
