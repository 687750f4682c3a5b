#pragma once

#include <string_view>
#include <vector>

#include "model/motion_document.h"

namespace kz {

// The table never holds more words than this.
inline constexpr std::size_t kRecognitionWordMax = 324;

// The words of a "Ninshiki.csv" text: the first line is a header; then each
// line is flags,word,-,-,number,-,check,... with no quoting. A line is taken
// when bit 5 of the flags is set (or the flags are empty) and the seventh
// column is not empty; a line with too few commas ends the list.
std::vector<RecognitionWord> ParseRecognitionWords(std::string_view text);

}  // namespace kz
