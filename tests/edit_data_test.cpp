// The edit-data file: its bytes, the rules of older versions, and the files
// that are not whole.
#include "formats/edit_data.h"

#include <gmock/gmock.h>

#include "fakes/edit_data_pieces.h"
#include "platform/text_encoding.h"

namespace kz::testing {
namespace {

constexpr int kMaxPose = 180;

std::string Utf8(const std::string& cp932) { return Cp932ToUtf8(cp932).value_or("?"); }

TEST(EditData, TheFileByteForByte) {
  Motion motion;
  motion.loopCount = 3;
  motion.backAndForth = true;
  motion.startSound = "s.wav";
  motion.endSound = "";
  motion.startWait = 30;
  motion.endWait = 258;
  motion.startTorqueOn = 1;
  Pose first;
  first.travelTime = 60;
  first.holdTime = 256;
  first.leftEye = 0x00FF8000;
  first.rightEye = 0x00123456;
  first.mouth = 200;
  first.flags = 0x11;
  first.startTime = -2;
  first.reserved = {1, 0, 0, 0, 0x01020304};
  first.label = SystemText("ポーズ1");
  first.servo[0] = -100;
  first.servo[1] = 1500;
  first.servo[19] = 0x1234;
  Pose second;
  second.label = "B";
  motion.poses = {first, second};

  const std::string expected =
      Hex("6B 61 7A 6F  04 00 00 00  03 00 00 00  02 00 00 00  03 00 00 00") + Zeros(12) + "s.wav" +
      Zeros(27) + Zeros(32) + Hex("1E 00 00 00  02 01 00 00") +
      // ポーズ1 at label offset 0
      Hex("3C 00 00 00  00 01 00 00  00 80 FF 00  56 34 12 00  C8 00 00 00  11 00 00 00"
          "FE FF FF FF  01 00 00 00") +
      Zeros(12) + Hex("04 03 02 01  00 00 00 00  9C FF DC 05") + Zeros(34) + Hex("34 12") +
      // B at label offset 8
      Zeros(48) + Hex("08 00 00 00") + Zeros(40) + Hex("83 7C 81 5B 83 59 31 00  42 00");

  const std::string bytes = EncodeEditData(motion);
  EXPECT_EQ(bytes.size(), 104u + 2 * 92 + 10);
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(DecodeEditData(bytes, kMaxPose), motion) << "and it reads back as it was";
}

TEST(EditData, AMotionReadsBackAsItWasWritten) {
  Motion motion;
  motion.loopCount = 5;
  motion.backAndForth = true;
  motion.startSound = "voice\\303.wav";
  motion.endSound = "voice\\Y153.wav";
  motion.startWait = 0;
  motion.endWait = 45;
  motion.endTorqueOff = 1;
  for (int i = 0; i < 3; ++i) {
    Pose pose;
    pose.travelTime = 60;
    pose.holdTime = 60;
    pose.leftEye = pose.rightEye = 0x000080FF;
    pose.flags = kBrightnessLimit;
    for (int k = 0; k < kServoCount; ++k) pose.servo[k] = static_cast<std::int16_t>(100 * i + k);
    pose.label = SystemText("ポーズ" + std::to_string(i + 1));
    motion.poses.push_back(pose);
  }
  Pose& middle = motion.poses[1];
  middle.flags = kStartSynchronised;
  middle.startTime = 120;
  middle.reserved[2] = -5;
  middle.rightEye = 7 << 16;
  middle.label = SystemText("歩く");

  const std::string bytes = EncodeEditData(motion);
  const auto read = DecodeEditData(bytes, kMaxPose);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, motion);
  EXPECT_EQ(EncodeEditData(*read), bytes);
}

TEST(EditData, OlderVersionsReadByTheirRules) {
  const std::string table = std::string("a") + '\0' + "bc" + '\0';
  const struct {
    std::int32_t version;
    bool labelTable;
    std::uint32_t flags;
    std::int32_t startTime;
  } cases[] = {
      {1, false, 0x11, 0}, {2, true, 0x11, 0},  {3, true, 0x10, 0},
      {4, true, 0x10, 50}, {9, true, 0x10, 50},
  };
  for (const auto& c : cases) {
    std::string file = Header(c.version, 0x5, 2) + Record(0x10, 50, 0) + Record(0x10, 50, 2);
    if (c.labelTable) file += table;
    const auto motion = DecodeEditData(file, kMaxPose);
    ASSERT_TRUE(motion) << c.version;
    ASSERT_EQ(motion->poseCount(), 2);
    EXPECT_EQ(Utf8(motion->poses[0].label), c.labelTable ? "a" : "ポーズ1") << c.version;
    EXPECT_EQ(Utf8(motion->poses[1].label), c.labelTable ? "bc" : "ポーズ2") << c.version;
    for (const Pose& pose : motion->poses) {
      EXPECT_EQ(pose.flags, c.flags) << c.version;
      EXPECT_EQ(pose.startTime, c.startTime) << c.version;
      EXPECT_EQ(pose.servo[0], 7);
      EXPECT_EQ(pose.travelTime, 60);
    }
    EXPECT_EQ(motion->startSound, "a.wav");
    EXPECT_EQ(motion->endSound, "");
    EXPECT_EQ(motion->startWait, 10);
    EXPECT_EQ(motion->endWait, 20);
    EXPECT_EQ(motion->loopCount, 2);
    EXPECT_TRUE(motion->backAndForth);
    EXPECT_EQ(motion->startTorqueOn, 0);
    EXPECT_EQ(motion->endTorqueOff, 1);
  }
}

TEST(EditData, AFileThatIsNotWholeIsRefused) {
  for (const auto& c : NotWholeFiles()) EXPECT_FALSE(DecodeEditData(c.file, 2)) << c.what;

  // The whole file itself is accepted; a sound field filled to its end is
  // taken as far as the field goes, never further.
  std::string fullSoundField = Header(4, 0, 1) + Record(1, 0, 0) + std::string("a") + '\0';
  fullSoundField.replace(32, 32, std::string(32, 'x'));
  const auto motion = DecodeEditData(fullSoundField, 2);
  ASSERT_TRUE(motion);
  EXPECT_EQ(motion->startSound, std::string(32, 'x'));
  EXPECT_EQ(motion->endSound, "");
}

TEST(EditData, SoundNamesThatFitAreKeptByteForByte) {
  // 31 bytes fit, also when they end in the first byte of a two-byte
  // character: they come back unchanged.
  for (const std::string& name : {std::string(31, 's'), std::string(30, 'h') + "\x83"}) {
    Motion motion;
    motion.startSound = name;
    const std::string bytes = EncodeEditData(motion);
    EXPECT_EQ(bytes.substr(32, 32), name + '\0');
    const auto read = DecodeEditData(bytes, kMaxPose);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->startSound, name);
  }
}

}  // namespace
}  // namespace kz::testing
