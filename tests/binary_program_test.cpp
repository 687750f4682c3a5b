// The binary program of the second model: instruction bytes of motions
// made here against hand-computed bytes, and the dispatch search on small
// images.
#include "formats/binary_program.h"

#include <gtest/gtest.h>

#include <string>

#include "commands/program_commands.h"
#include "dialogs/ninshiki_dlg.h"
#include "fakes/binary_image.h"
#include "fakes/editor_fixture.h"
#include "formats/recognition_words.h"
#include "model/settings.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

std::string Repeat(const std::string& bytes, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += bytes;
  return out;
}

const std::string kEnd = Bytes({0x83, 0, 0, 0, 0, 0, 0, 0});
const std::string kTorqueOn = Bytes({0xC0, 0xC4, 1, 0, 0, 0, 0xCD, 0x48, 0, 0, 0});
const std::string kTorqueOff = Bytes({0xC0, 0xC4, 0, 0, 0, 0, 0xCD, 0x48, 0, 0, 0});
const std::string kLoopSet3 = Bytes({0xC0, 0xC4, 0x03, 0x00, 0x00, 0x00, 0xCD, 0xF0, 0x0E, 0, 0});
const std::string kCountDown = Bytes({0xC0, 0xC9, 0xF0, 0x0E, 0x00, 0x00, 0xC4, 0x01, 0x00, 0x00,
                                      0x00, 0xD1, 0xCD, 0xF0, 0x0E, 0x00, 0x00});
// Back to the count-down 11 bytes into a program at kDirectExecBase.
const std::string kLoopCheckAtDirectBase =
    Bytes({0xC0, 0xC9, 0xF0, 0x0E, 0x00, 0x00, 0xC4, 0x00, 0x00, 0x00, 0x00, 0xD1, 0xDA, 0xE0, 0x0B,
           0x00, 0x42, 0x00});

// A motion with nothing around its poses: no sounds, waits or torque;
// every pose at 0, moving in 60.
Motion BareMotion(int poses) {
  Motion motion;
  motion.startWait = 0;
  motion.endWait = 0;
  Pose pose;
  pose.travelTime = 60;
  motion.poses.assign(static_cast<std::size_t>(poses), pose);
  return motion;
}

// Standard values of 0 and the default program torque.
BinaryProgramOptions Options(std::int32_t torque = 80) {
  return BinaryProgramOptions{StandardValues{}, torque};
}

std::string PoseBytes(const Pose& pose, const BinaryProgramOptions& options = Options()) {
  std::string out;
  EncodeBinaryPose(pose, options, out);
  return out;
}

std::string Program(const Motion& motion, std::uint32_t base = 0,
                    const BinaryProgramOptions& options = Options()) {
  return BuildBinaryProgram(motion, options, base).value_or("<refused>");
}

TEST(BinaryProgram, OnePoseIsItsArrayItsMoveAndTheEnd) {
  Motion motion = BareMotion(1);
  Pose& pose = motion.poses[0];
  BinaryProgramOptions options = Options();
  pose.servo[0] = -1;
  pose.servo[1] = 300;
  options.standardValues[1] = 44;
  pose.servo[19] = 1500;
  pose.leftEye = 0x000080FF;
  pose.rightEye = 0x00030201;
  pose.mouth = 255;
  pose.travelTime = 0x12345;  // only its low 16 bits are stored

  const std::string expected =
      Bytes({0x90, 0x00, 0x0A, 0x00, 0x00, 0x80}) + Bytes({0, 0, 0, 0}) +  // servo ID 1
      Bytes({0xFF, 0xFF, 0x50, 0x00}) + Bytes({0x00, 0x01, 0x50, 0x00}) +  // IDs 2 and 3
      Repeat(Bytes({0, 0, 0x50, 0}), 17) + Bytes({0xDC, 0x05, 0x50, 0x00}) + std::string(28, '\0') +
      Bytes({0xFF, 0, 0x80, 0, 0, 0, 1, 0, 2, 0, 3, 0, 0xFF, 0}) + Bytes({0, 0}) +
      Bytes({0x90, 0x00, 0x0B, 0x00, 0x00, 0x02, 0x45, 0x23}) + Bytes({0x8C, 0x43, 0x0B, 0, 0});
  ASSERT_EQ(expected.size(), 147u);
  std::string out = "x";
  EXPECT_EQ(EncodeBinaryPose(pose, options, out), 147u);
  EXPECT_EQ(out, "x" + expected) << "appended to what is there";
  EXPECT_EQ(Program(motion, kDirectExecBase, options), expected + kEnd);
}

TEST(BinaryProgram, TorqueAndTheBrightnessLimitShapeThePoseArray) {
  Pose pose = BareMotion(1).poses[0];
  pose.leftEye = 0x000080FF;
  pose.mouth = 255;
  pose.flags = kBrightnessLimit;
  const std::string bytes = PoseBytes(pose, Options(0x1234));
  EXPECT_EQ(bytes.substr(10, 4), Bytes({0, 0, 0x34, 0x12}));
  EXPECT_EQ(bytes.substr(118, 14), Bytes({50, 0, 25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50, 0}));
}

TEST(BinaryProgram, AHoldTimeTakesTheSmallestWait) {
  Pose pose = BareMotion(1).poses[0];
  const struct {
    std::int32_t hold;
    std::string wait;
  } cases[] = {
      {0, ""},
      {-5, ""},
      {60, Bytes({0x88, 0x3C})},
      {255, Bytes({0x88, 0xFF})},
      {256, Bytes({0x89, 0x00, 0x01})},
      {300, Bytes({0x89, 0x2C, 0x01})},
      {65535, Bytes({0x89, 0xFF, 0xFF})},
      {65536, Bytes({0x8A, 0x00, 0x00, 0x01, 0x00})},
  };
  for (const auto& c : cases) {
    pose.holdTime = c.hold;
    std::string out;
    EXPECT_EQ(EncodeBinaryPose(pose, Options(), out), 147 + c.wait.size()) << c.hold;
    EXPECT_EQ(out.substr(147), c.wait) << c.hold;
  }
}

TEST(BinaryProgram, AStartSoundStoresItsNameAndStartsThePlayer) {
  Motion motion = BareMotion(1);
  motion.startSound = "voice\\303.wav";
  const std::string sound = Bytes({0x90, 0x00, 0x04, 0x00, 0x00, 0x0E}) + "voice\\303.wav" +
                            Bytes({0x00, 0x90, 0xE0, 0x01, 0x00, 0x00, 0x01, 0x01});
  ASSERT_EQ(sound.size(), 27u);
  EXPECT_EQ(Program(motion), sound + PoseBytes(motion.poses[0]) + kEnd);
}

TEST(BinaryProgram, StartAndEndProcessingSurroundTheMotion) {
  Motion motion = BareMotion(2);
  motion.backAndForth = true;
  motion.startTorqueOn = 1;
  motion.startWait = 300;
  motion.endWait = 100;
  motion.endTorqueOff = 1;
  const std::string first = PoseBytes(motion.poses[0]);
  const std::string second = PoseBytes(motion.poses[1]);
  EXPECT_EQ(Program(motion), kTorqueOn + Bytes({0x89, 0x2C, 0x01}) + first + second + first +
                                 Bytes({0x88, 0x64}) + kTorqueOff + kEnd)
      << "back and forth replays the poses before the last";
}

TEST(BinaryProgram, ALoopCountsDownAndJumpsBack) {
  Motion motion = BareMotion(1);
  motion.loopCount = 3;
  EXPECT_EQ(Program(motion, kDirectExecBase),
            kLoopSet3 + kCountDown + PoseBytes(motion.poses[0]) + kLoopCheckAtDirectBase + kEnd);

  motion.loopCount = 2;
  motion.startWait = 100;  // the loop now begins 2 bytes in
  EXPECT_EQ(Program(motion, 0x1000).substr(2 + 28 + 147 + 13, 5),
            Bytes({0xE0, 0x0D, 0x10, 0x00, 0x00}))
      << "the jump names the count-down's robot address";
}

TEST(BinaryProgram, ASoundNameLongerThanAProgramHoldsIsRefused) {
  Motion motion = BareMotion(1);
  motion.endSound = std::string(kMaxSoundNameBytes + 1, 'a');
  EXPECT_FALSE(BuildBinaryProgram(motion, Options(), 0));
  motion.endSound.pop_back();
  EXPECT_TRUE(BuildBinaryProgram(motion, Options(), 0));
  motion.startSound = std::string(kMaxSoundNameBytes + 1, 'a');
  EXPECT_FALSE(BuildBinaryProgram(motion, Options(), 0));
}

TEST(DispatchEntry, TheSearchFindsTheStartInstructionOfTheNumbersTarget) {
  std::string image = DispatchImage(23, 0x28100, 0x1000);
  EXPECT_EQ(LocateDispatchEntry(image, 23), 0u) << "no start instruction at the target yet";
  image[0x100A] = '\x82';
  EXPECT_EQ(LocateDispatchEntry(image, 23), 0x100Bu);
  EXPECT_EQ(LocateDispatchEntry(image, 24), 0u) << "another number";
  EXPECT_EQ(LocateDispatchEntry(image, 23 + 256), 0u) << "both bytes of the number count";
  EXPECT_EQ(LocateDispatchEntry(image.substr(0, 0x28103), 23), 0u) << "target cut off";

  // A jump at the target is followed once.
  std::string followed = DispatchImage(300, 0x2FFF0, 0x2000);
  followed.replace(0x200B, 5, Bytes({0x81, 0x00, 0x30, 0x00, 0x00}));
  EXPECT_EQ(LocateDispatchEntry(followed, 300), 0u);
  followed[0x300A] = '\x82';
  EXPECT_EQ(LocateDispatchEntry(followed, 300), 0x300Bu);

  // Outside the dispatch area, and targets that lead nowhere, are passed by.
  std::string several = DispatchImage(5, 0x27FF0, 0x1000);
  several[0x100A] = '\x82';
  EXPECT_EQ(LocateDispatchEntry(several, 5), 0u) << "before the dispatch area";
  const std::string beyond = DispatchImage(5, 0x28200, 0xFFFFFFF0);
  several.replace(0x28200 - 7, 11, beyond.substr(0x28200 - 7, 11));
  const std::string good = DispatchImage(5, 0x28300, 0x1000);
  several.replace(0x28300 - 7, 11, good.substr(0x28300 - 7, 11));
  EXPECT_EQ(LocateDispatchEntry(several, 5), 0x100Bu);
  several[0x2FFFF] = '\x82';  // a start instruction whose address the image cuts off
  const std::string cut = DispatchImage(7, 0x28400, 0x2FFF5);
  several.replace(0x28400 - 7, 11, cut.substr(0x28400 - 7, 11));
  EXPECT_EQ(LocateDispatchEntry(several, 7), 0u);
}

}  // namespace
}  // namespace kz::testing
