// The record files of the robot link, byte for byte.
#include "link/records.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace kz {
namespace {

// "2C 01 ..." from bytes, for readable differences.
std::string Hex(std::string_view bytes) {
  std::string text;
  char byte[4];
  for (unsigned char c : bytes) {
    std::snprintf(byte, sizeof byte, "%02X ", c);
    text += byte;
  }
  if (!text.empty()) text.pop_back();
  return text;
}

// Bytes from "2C 01 ..." text.
std::string Bytes(const std::string& hex) {
  std::istringstream in(hex);
  std::string bytes;
  unsigned value;
  while (in >> std::hex >> value) bytes += static_cast<char>(value);
  return bytes;
}

std::string Zeros(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += " 00";
  return text;
}

Pose SamplePose() {
  Pose pose;
  pose.travelTime = 60;
  pose.holdTime = 30;  // not in the record
  for (int k = 0; k < kServoCount; ++k) pose.servo[static_cast<std::size_t>(k)] = 0;
  pose.servo[0] = -1500;  // 0xFA24
  pose.servo[1] = 1500;   // 0x05DC
  pose.servo[19] = 1;
  pose.leftEye = 0x00332211;  // red 11, green 22, blue 33
  pose.rightEye = 3u << 16;   // expression pattern 3, in the blue slot
  pose.mouth = 255;
  pose.flags = 0;
  return pose;
}

TEST(PoseRecord, WholeRecord) {
  MotionDocument document("");
  const std::string expected = Bytes(
      "3C 00"  // travel time 60
      " 24 FA DC 05" +
      Zeros(17 * 2) +       // servo IDs 2, 3, then 4..20 zero
      " 01 00" +            // servo ID 21
      Zeros(22) +           //
      " 11 00 22 00 33 00"  // left eye
      " 00 00 00 00 03 00"  // right eye: pattern 3 as blue
      " FF 00" +            // mouth
      Zeros(50));
  ASSERT_EQ(expected.size(), kPoseRecordSize);
  EXPECT_EQ(Hex(PoseRecord(document, SamplePose())), Hex(expected));
}

TEST(PoseRecord, TravelTimeAndTorqueBytes) {
  const struct {
    int model;
    bool slow;
    int ratio;
    int travel;
    int torque;
    bool power;
    const char* bytes;
  } cases[] = {
      {1, false, 5, 60, 80, false, "3C 00"},    {1, true, 5, 60, 80, false, "2C 01"},  // 300
      {1, true, 5, 20000, 80, false, "A0 86"},   // 100000 mod 65536
      {1, true, 5, 60, 80, true, "2C 01"},       // the power check is model 2's
      {2, true, 5, 60, 80, false, "2C 50"},      // torque replaces the high byte
      {2, true, 5, 60, 80, true, "2C 00"},       // power check: torque 0
      {2, false, 5, 60, 0x1FF, false, "3C FF"},  // the torque's low byte
  };
  for (const auto& c : cases) {
    MotionDocument document("");
    document.kazoModel = c.model;
    document.slowCheck = c.slow;
    document.slowRatio = c.ratio;
    document.programTorque = c.torque;
    document.powerCheck = c.power;
    Pose pose = SamplePose();
    pose.travelTime = c.travel;
    EXPECT_EQ(Hex(PoseRecord(document, pose).substr(0, 2)), c.bytes)
        << "model " << c.model << " slow " << c.slow << " travel " << c.travel;
  }
}

TEST(PoseRecord, BrightnessLimitScalesEveryLedValue) {
  MotionDocument document("");
  Pose pose = SamplePose();
  pose.leftEye = 0x000000FF;  // pure red
  pose.rightEye = 0x000380FE;
  pose.mouth = 255;
  pose.flags = kBrightnessLimit;
  EXPECT_EQ(Hex(PoseRecord(document, pose).substr(64, 14)),
            "32 00 00 00 00 00 32 00 19 00 00 00 32 00");  // 254 -> 50, 128 -> 25, 3 -> 0
  pose.flags = 0;
  EXPECT_EQ(Hex(PoseRecord(document, pose).substr(64, 14)),
            "FF 00 00 00 00 00 FE 00 80 00 03 00 FF 00");
}

TEST(CommandRecord, CodeAfterTheMarker) {
  EXPECT_EQ(Hex(CommandRecord(kCommandExecute)), Hex(Bytes("FE FF 88 03" + Zeros(12))));
  EXPECT_EQ(Hex(CommandRecord(kCommandConnect).substr(0, 4)), "FE FF 85 03");
  EXPECT_EQ(Hex(CommandRecord(kCommandConnectPower).substr(0, 4)), "FE FF 8B 03");
}

TEST(CaptureRecord, StateAndServos) {
  std::array<std::int16_t, kServoCount> servos{};
  servos[0] = -1501;  // 0xFA23
  servos[19] = 1501;  // 0x05DD
  const std::string record = CaptureRecord(servos);
  EXPECT_EQ(Hex(record), Hex(Bytes("02 00 23 FA" + Zeros(36) + " DD 05" + Zeros(86))));
  EXPECT_EQ(RecordServos(record), servos);
  EXPECT_FALSE(RecordServos(record.substr(0, 41)));

  const struct {
    const char* state;
    bool empty;
  } states[] = {{"00 00", true},  {"01 00", true},  {"02 00", false},
                {"00 01", false}, {"01 01", false}, {"FF 00", false}};
  for (const auto& s : states)
    EXPECT_EQ(CaptureIsEmpty(Bytes(s.state) + record.substr(2)), s.empty) << s.state;
}

}  // namespace
}  // namespace kz
