// "Ninshiki.csv" on any bytes: the table is bounded, its words hold no column
// or line break, and the words written back as a table read back the same.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/recognition_words.h"
#include "fuzz_support.h"
#include "recognition_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::vector<kz::RecognitionWord> words = kz::ParseRecognitionWords(input);
  KZ_FUZZ_CHECK(words.size() <= kz::kRecognitionWordMax);
  for (const kz::RecognitionWord& word : words)
    KZ_FUZZ_CHECK(word.text.find_first_of(",\n") == std::string::npos);

  const std::vector<kz::RecognitionWord> again =
      kz::ParseRecognitionWords(kz::fuzz::RecognitionTable(words));
  KZ_FUZZ_CHECK(again.size() == words.size());
  for (std::size_t i = 0; i < words.size(); ++i) {
    KZ_FUZZ_CHECK(again[i].text == words[i].text);
    KZ_FUZZ_CHECK(again[i].number == words[i].number);
  }
  return 0;
}
