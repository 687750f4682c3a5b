// The servo logs the robot records on its card, decoded from their bytes.
#include "formats/servo_logs.h"

#include <gtest/gtest.h>

#include <string>

namespace kz::testing {
namespace {

// A recorded log: status 2, servo k holding base + k.
std::string Log(int base) {
  std::string bytes(kServoLogSize, '\0');
  bytes[0] = 2;
  bytes[1] = 0x55;  // not read
  for (int k = 0; k < kServoCount; ++k) {
    const auto value = static_cast<std::uint16_t>(base + k);
    bytes[2 + 2 * k] = static_cast<char>(value & 0xFF);
    bytes[3 + 2 * k] = static_cast<char>(value >> 8);
  }
  return bytes;
}

TEST(ServoLogDecoding, ReadsTheServoValuesOfARecordedLogOnly) {
  std::string log(kServoLogSize, '\0');
  log[0] = 0;     // only 1 means nothing recorded
  log[2] = 0x18;  // 0xFC18 = -1000
  log[3] = static_cast<char>(0xFC);
  log[40] = 0x34;
  log[41] = 0x12;
  const auto values = DecodeServoLog(log);
  ASSERT_TRUE(values);
  EXPECT_EQ(values->front(), -1000);
  EXPECT_EQ(values->back(), 0x1234);

  log[0] = 1;
  EXPECT_FALSE(DecodeServoLog(log)) << "status 1";
  EXPECT_FALSE(DecodeServoLog(Log(0) + '\0')) << "129 bytes";
  EXPECT_FALSE(DecodeServoLog(Log(0).substr(0, 127))) << "127 bytes";
}

}  // namespace
}  // namespace kz::testing
