#include "recognition_table.h"

namespace kz::fuzz {

std::string RecognitionTable(const std::vector<RecognitionWord>& words) {
  std::string text = "FLAG,WORD,READING,GROUP,NUMBER,LEVEL,CHECK\r\n";
  for (const RecognitionWord& word : words) {
    text += "32,";
    text += word.text;
    text += ",-,-,";
    text += std::to_string(word.number);
    text += ",-,1\r\n";
  }
  return text;
}

}  // namespace kz::fuzz
