#include "model/motion.h"

#include <gtest/gtest.h>

namespace kz {
namespace {

Motion ThreePoses() {
  Motion motion;
  for (int i = 0; i < 3; ++i) {
    Pose pose;
    pose.label = std::to_string(i + 1);
    pose.servo[0] = static_cast<std::int16_t>(100 * (i + 1));
    motion.poses.push_back(pose);
  }
  motion.poses[0].flags = kStartSynchronised | kBrightnessLimit;
  motion.poses[0].startTime = 30;
  return motion;
}

TEST(MotionTest, IsAValueThatCopiesAndComparesWhole) {
  const Motion original = ThreePoses();
  Motion copy = original;
  EXPECT_EQ(copy, original);
  copy.poses[2].servo[19] = 1;
  EXPECT_NE(copy, original) << "a servo value is part of the motion";
  copy = original;
  copy.loopCount = 3;
  EXPECT_NE(copy, original) << "so is the loop count";
  copy = original;
  copy.endTorqueOff = 1;
  EXPECT_NE(copy, original);
  copy = original;
  EXPECT_EQ(copy, original) << "and it is put back by assignment";
}

TEST(MotionTest, OperationsKeepTheOtherPosesInOrder) {
  Motion motion = ThreePoses();
  motion.InsertCopyAfter(0, "1-1");
  ASSERT_EQ(motion.poseCount(), 4);
  EXPECT_EQ(motion.poses[1].label, "1-1");
  EXPECT_EQ(motion.poses[1].servo[0], 100);
  EXPECT_EQ(motion.poses[1].flags, kBrightnessLimit) << "the copy starts unsynchronised";
  EXPECT_EQ(motion.poses[1].startTime, 0);
  EXPECT_EQ(motion.poses[0].flags, kStartSynchronised | kBrightnessLimit);

  motion.SwapWithPrevious(3);
  EXPECT_EQ(motion.poses[2].label, "3");
  EXPECT_EQ(motion.poses[3].label, "2");

  motion.Remove(0);
  ASSERT_EQ(motion.poseCount(), 3);
  EXPECT_EQ(motion.poses[0].label, "1-1");

  motion.ReplaceAll({Pose{}});
  EXPECT_EQ(motion.poseCount(), 1);
}

}  // namespace
}  // namespace kz
