// A motion written as a program and read back.
#include <gmock/gmock.h>

#include "formats/program_reader.h"
#include "formats/program_writer.h"
#include "platform/text_encoding.h"

namespace kz::testing {
namespace {

TEST(ProgramRoundTrip, PosesComeBackWithTheirLabelsServosAndTravelTimes) {
  Motion motion;
  motion.startSound = "voice\\303.wav";
  motion.endSound = "voice\\Y153.wav";
  for (int i = 0; i < 3; ++i) {
    Pose pose;
    pose.travelTime = 60;
    pose.holdTime = 30;
    pose.leftEye = 0x0080FF;  // red 255, green 128
    pose.rightEye = 0x320000;
    pose.mouth = 255;
    pose.flags = kBrightnessLimit;
    for (int k = 0; k < kServoCount; ++k) pose.servo[k] = static_cast<std::int16_t>(100 * i + k);
    pose.label = SystemText("ポーズ" + std::to_string(i + 1));
    motion.poses.push_back(pose);
  }
  motion.poses[1].travelTime = 45;
  motion.poses[2].flags = 0;  // no brightness limit: the bytes are written whole
  motion.poses[2].leftEye = 0x000032;
  StandardValues standard{};
  for (int k = 0; k < kServoCount; ++k) standard[static_cast<std::size_t>(k)] = 50 - 10 * k;

  const auto program = BuildProgramText(motion, {.standardValues = standard});
  ASSERT_TRUE(program);
  const ParsedProgramText read = ParseProgramText(*program, standard, 180);
  ASSERT_FALSE(read.failure);
  EXPECT_THAT(read.sounds, ::testing::ElementsAre("voice\\303.wav", "voice\\Y153.wav"));

  ASSERT_EQ(read.poses.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read.poses[i].label, motion.poses[i].label);
    EXPECT_EQ(read.poses[i].servo, motion.poses[i].servo);
    EXPECT_EQ(read.poses[i].travelTime, motion.poses[i].travelTime);
    EXPECT_EQ(read.poses[i].holdTime, 0) << "waits are not read back";
    EXPECT_EQ(read.poses[i].flags, kBrightnessLimit);
  }
  // Limited bytes come back times five, in proportion to the largest.
  EXPECT_EQ(read.poses[0].leftEye, 0x007DFAu);   // 50, 25, 0 -> 250, 125, 0
  EXPECT_EQ(read.poses[0].rightEye, 0x2D0000u);  // blue 50 -> 48 / 5 = 9 -> 45
  EXPECT_EQ(read.poses[0].mouth, 250);
  EXPECT_EQ(read.poses[2].leftEye, 0x0000FAu) << "written whole as 50, read as 250";
}

}  // namespace
}  // namespace kz::testing
