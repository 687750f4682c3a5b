// The recognition-word list: "Ninshiki.csv" read from bytes.
#include "formats/recognition_words.h"

#include <gmock/gmock.h>

#include "platform/text_encoding.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

MATCHER_P2(Word, text, number, "") { return arg.text == SystemText(text) && arg.number == number; }

TEST(RecognitionWords, TheColumnsDecideWhichLinesAreTaken) {
  const std::string file = SystemText(
      "フラグ,認識語,a,b,番号,c,d\r\n"
      "32,こんにちは,x,y,15,z,w\r\n"
      "1,ビット5なし,x,y,16,z,w\r\n"
      ",フラグなし,x,y,17,z,w\r\n"
      "33,七列目が空,x,y,18,z,,w\r\n"
      "96,番号なし,x,y,abc,z,w\n"
      "-32,負のフラグ,x,y,70000,z,w\n"
      "32,七列目で終わる,x,y, 19,z,\n"
      "32,四つのカンマ,x,y,20\n"
      "32,読まれない,x,y,21,z,w\n");
  EXPECT_THAT(ParseRecognitionWords(file),
              ElementsAre(Word("こんにちは", 15), Word("フラグなし", 17), Word("番号なし", 0),
                          Word("負のフラグ", 70000 - 65536), Word("七列目で終わる", 19)));
}

TEST(RecognitionWords, TheTableHoldsAtMost324Words) {
  std::string file = "header\n";
  for (int i = 1; i <= 330; ++i)
    file += "32,w" + std::to_string(i) + ",a,b," + std::to_string(i) + ",c,d\n";
  const auto words = ParseRecognitionWords(file);
  ASSERT_EQ(words.size(), kRecognitionWordMax);
  EXPECT_EQ(words.back().number, 324);
  EXPECT_THAT(ParseRecognitionWords("32,only a header,a,b,1,c,d"), IsEmpty());
  EXPECT_THAT(ParseRecognitionWords("header\n\n32,after an empty line,a,b,1,c,d\n"), IsEmpty());
}

}  // namespace
}  // namespace kz::testing
