#include "ui/controls.h"

#include <gtest/gtest.h>

#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {
namespace {

TEST(Controls, NumberFieldsReadSignedDecimalsAndElseZero) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"1500", 1500}, {"-1500", -1500}, {"+7", 7},
      {" 42 ", 42},   {"", 0},          {"12a", 0},
      {"abc", 0},     {"1,500", 0},     {"99999999999", 0},
      {"-", 0},       {"+-3", 0},       {"2147483647", 2147483647},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseFieldNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(Controls, ChangeTrackedIds) {
  for (int k = 0; k < ctl::kServoCount; ++k) EXPECT_TRUE(ctl::IsChangeTracked(ctl::ServoField(k)));
  for (int id : {ctl::kTravelTime, ctl::kHoldTime, ctl::kLoopCount, ctl::kBackAndForth})
    EXPECT_TRUE(ctl::IsChangeTracked(id)) << id;
  for (int id : {ctl::kStartTime, ctl::ServoSpin(0), ctl::kTravelTimeSpin, ctl::kMouth, 1002})
    EXPECT_FALSE(ctl::IsChangeTracked(id)) << id;
}

TEST(Messages, TextsByIdWithArguments) {
  EXPECT_EQ(MessageText(136), "これ以上ポーズは挿入できません");
  EXPECT_EQ(MessageText(116),
            "値が変更されています。\n編集ファイルに書出しますか？\nいいえを答えると変更した値が破棄"
            "されます。");
  EXPECT_EQ(FormatMessage(166, {"timeout"}), "FlashAirとの通信に失敗しました[timeout]");
  EXPECT_EQ(FormatMessage(61714, {"1", "472"}), "1 から 472 までの整数を入力してください。");
  EXPECT_EQ(MessageText(101), "バージョン情報 KZMotion(&A)...");
  EXPECT_EQ(MessageText(999), "");
}

}  // namespace
}  // namespace kz
