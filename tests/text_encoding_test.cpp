#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace kz {
namespace {

TEST(TextEncoding, JapaneseRoundTripsThroughShiftJis) {
  const std::string utf8 = "ポーズ1 ﾂﾏ先 ～";
  const auto cp932 = Utf8ToCp932(utf8);
  ASSERT_TRUE(cp932);
  EXPECT_EQ(cp932->substr(0, 6), "\x83\x7C\x81\x5B\x83\x59");
  EXPECT_EQ(Cp932ToUtf8(*cp932), utf8);
  EXPECT_EQ(Cp932ToUtf8("voice\\303.wav"), "voice\\303.wav") << "ASCII passes unchanged";
}

TEST(TextEncoding, TextWithoutCounterpartIsRefused) {
  EXPECT_FALSE(Utf8ToCp932("emoji \xF0\x9F\x98\x80"));
  EXPECT_FALSE(Cp932ToUtf8("\x83")) << "a lead byte without its second byte";
  EXPECT_FALSE(Utf8ToCp932("\xC3")) << "broken UTF-8";
}

TEST(TextEncoding, PrefixNeverCutsATwoByteCharacter) {
  const std::string label = SystemText("ポーズ");  // 6 bytes
  EXPECT_EQ(Cp932Prefix(label, 5), label.substr(0, 4));
  EXPECT_EQ(Cp932Prefix(label, 6), label);
  EXPECT_EQ(Cp932Prefix("ab" + label, 3), "ab");
  EXPECT_EQ(Cp932Prefix("\xB1\xB2", 1), "\xB1") << "half-width kana are one byte";
}

}  // namespace
}  // namespace kz
