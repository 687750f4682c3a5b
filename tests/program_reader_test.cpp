// Reading poses back from motion program text.
#include "formats/program_reader.h"

#include <gmock/gmock.h>

#include <cstdio>

#include "fakes/program_text_pieces.h"
#include "platform/text_encoding.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ParseHexWord, LowerCaseWordsOnly) {
  const struct {
    const char* text;
    bool parses;
    std::int16_t value;
  } cases[] = {
      {"0x0000", true, 0},     {"0x05dc,", true, 1500},  {"0xff9c", true, -100},
      {"0x7fff", true, 32767}, {"0x8000", true, -32768}, {"0x05DC", false, 0},
      {"0X05dc", false, 0},    {"0x05d", false, 0},      {"0x05d,", false, 0},
      {"0x 5dc", false, 0},    {"", false, 0},           {"1x0000", false, 0},
  };
  for (const auto& c : cases) {
    std::int16_t value = 1234;
    EXPECT_EQ(ParseHexWord(c.text, value), c.parses) << c.text;
    EXPECT_EQ(value, c.parses ? c.value : 1234) << c.text << ": a failure leaves the output";
  }
}

TEST(ParseLedColour, LargestWordScaledByFiveOthersInProportion) {
  const struct {
    const char* words;
    std::uint32_t colour;
  } cases[] = {
      {"0x0032,0x0019,0x0000", 0x007DFA},  // 50, 25, 0: 250, 125, 0
      {"0x0000,0x0000,0x0032", 0xFA0000},  // blue only
      {"0x000a,0x0014,0x0005", 0x196432},  // green largest: 50, 100, 25
      {"0x0005,0x0000,0x000a", 0x320019},  // blue largest: 25, 0, 50
      {"0x0033,0x0033,0x0033", 0xFFFFFF},  // 51 is the last to scale exactly
      {"0x0064,0x0032,0x0000", 0x007FFF},  // 500 capped at 255, green 255 * 50 / 100
      {"0x0032,0xfff6,0x0000", 0x00CEFA},  // a negative share keeps its low byte (-50)
      {"0xff9c,0x0000,0x0000", 0x00009C},  // nothing positive: the words as they are
      {"0x0000,0x0000,0x0000", 0x000000},
      {"0x00ZZ,0x0032,0x0000", 0x00FA00},  // a malformed word counts as 0
      {"0x0032,0x0032", 0x00FAFA},         // the text ends: the missing word is 0
      {"0x0032", 0x0000FA},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseLedColour(c.words), c.colour) << c.words;
}

// Standard value k is 10 * k.
StandardValues TenTimesK() {
  StandardValues values{};
  for (std::size_t k = 0; k < kServoCount; ++k) values[k] = static_cast<int>(10 * k);
  return values;
}

ParsedProgramText Parse(const std::string& program, int maxPose = 180) {
  return ParseProgramText(program, TenTimesK(), maxPose);
}

std::string Utf8(const std::string& cp932) { return Cp932ToUtf8(cp932).value_or("?"); }

TEST(ProgramTextPieces, TheArrayHasTheWrittenLineLengths) {
  EXPECT_EQ((PoseArray().Text() + "</mem_w>\r\n").size(), 5 * 171 + 68u);
}

TEST(ParseProgramText, PosesSoundsAndLabelsOfAWrittenProgram) {
  PoseArray first;
  for (int k = 0; k < kServoCount; ++k) {
    char word[8];
    std::snprintf(word, sizeof word, "0x%04x", k + 1);
    first.Servo(k, word);
  }
  first.Leds({"0x0032", "0x0019", "0x0000", "0x0000", "0x0000", "0x0032", "0x0014"});
  const std::string firstName = SystemText("立ち姿勢 ポーズ1");
  const std::string program = kProgramHeader + SoundGroup("START", "voice\\303.wav") +
                              PoseGroup(firstName, first, "45") +
                              PoseGroup("second", PoseArray().Servo(0, "0xff9c"), "0x001e") +
                              SoundGroup("END", "voice\\END.wav") + kProgramEnd;

  const ParsedProgramText parsed = Parse(program);
  ASSERT_FALSE(parsed.failure);
  EXPECT_THAT(parsed.sounds, ElementsAre("voice\\303.wav", "voice\\END.wav"));
  EXPECT_FALSE(parsed.posesLeftOut);

  ASSERT_EQ(parsed.poses.size(), 2u);
  const Pose& a = parsed.poses[0];
  EXPECT_EQ(a.label, firstName);
  for (int k = 0; k < kServoCount; ++k) EXPECT_EQ(a.servo[k], 10 * k + k + 1) << k;
  EXPECT_EQ(a.leftEye, 0x007DFAu);
  EXPECT_EQ(a.rightEye, 0xFA0000u);
  EXPECT_EQ(a.mouth, 100);
  EXPECT_EQ(a.travelTime, 45);
  EXPECT_EQ(a.holdTime, 0);
  EXPECT_EQ(a.flags, kBrightnessLimit);
  EXPECT_EQ(a.startTime, 0);

  const Pose& b = parsed.poses[1];
  EXPECT_EQ(b.label, "second");
  EXPECT_EQ(b.servo[0], -100);
  EXPECT_EQ(b.servo[19], 190);
  EXPECT_EQ(b.travelTime, 30) << "hexadecimal travel time";
  EXPECT_EQ(b.leftEye, 0u);
}

TEST(ParseProgramText, UnnamedPosesAreNumberedAndBadWordsRepeatThePreviousServo) {
  PoseArray array;
  array.Servo(0, "0x000A").Servo(1, "0x0005").Servo(2, "0x00FF").Servo(3, "0x0007");
  array.Servo(4, "junk!!");
  // Blanks and bytes from 0x80 up before a word are passed over.
  const std::string highBytes = "\x81\xA0";
  array.Servo(5, highBytes + "0x0006").Servo(6, " 0x0008");
  const std::string unnamed = kArrayHead + array.Text() + "</mem_w>\r\n" + Move("-3");
  const ParsedProgramText parsed = Parse(unnamed + unnamed);
  ASSERT_EQ(parsed.poses.size(), 2u);
  EXPECT_EQ(Utf8(parsed.poses[0].label), "ポーズ1");
  EXPECT_EQ(Utf8(parsed.poses[1].label), "ポーズ2");
  const Pose& pose = parsed.poses[0];
  EXPECT_EQ(pose.servo[0], 0) << "nothing parsed yet: the standard value";
  EXPECT_EQ(pose.servo[1], 15);
  EXPECT_EQ(pose.servo[2], 25) << "upper-case digits repeat the previous servo's word";
  EXPECT_EQ(pose.servo[3], 37);
  EXPECT_EQ(pose.servo[4], 47);
  EXPECT_EQ(pose.servo[5], 56);
  EXPECT_EQ(pose.servo[6], 68);
  EXPECT_EQ(pose.servo[7], 70);
  EXPECT_EQ(pose.travelTime, -3);
}

TEST(ParseProgramText, IncompleteArraysEndTheScan) {
  const std::string line = "\t0x0000,0x0064,0x0001,0x0064,\r\n";
  const std::string complete = PoseGroup("later", PoseArray(), "60");
  const struct {
    const char* what;
    std::string program;
    std::size_t poses;
    std::int32_t travelTime;
    std::uint32_t leftEye;
  } cases[] = {
      {"file ends after line 1", kArrayHead + line, 0, 0, 0},
      {"file ends after line 2", kArrayHead + line + line, 0, 0, 0},
      {"one comma in lines 1 and 2", kArrayHead + "\t0x0000,\r\n\t\r\n\t\r\n" + complete, 0, 0, 0},
      {"line 3 without sixteen commas: LEDs off",
       kArrayHead + line + line + "\t0x0032,0x0032,0x0032\r\n" + Move("50") + complete, 2, 50, 0},
      {"no move: travel time 0, the scan ends",
       kArrayHead + PoseArray().Servo(0, "0x0001").Leds({"0x0001"}).Text(), 1, 0, 5},
  };
  for (const auto& c : cases) {
    const ParsedProgramText parsed = Parse(c.program);
    // Without one readable pose the text is no program.
    if (c.poses == 0) {
      EXPECT_EQ(parsed.failure, ProgramTextFailure::kNoPose) << c.what;
      EXPECT_THAT(parsed.poses, IsEmpty()) << c.what;
      continue;
    }
    ASSERT_FALSE(parsed.failure) << c.what;
    ASSERT_EQ(parsed.poses.size(), c.poses) << c.what;
    EXPECT_EQ(parsed.poses[0].servo[0], 1) << c.what;
    EXPECT_EQ(parsed.poses[0].travelTime, c.travelTime) << c.what;
    EXPECT_EQ(parsed.poses[0].leftEye, c.leftEye) << c.what;
  }
}

TEST(ParseProgramText, LinesAreReadInPiecesOf1023BytesWithCrLfAsLf) {
  const std::string longName(2000, 'A');
  const std::string program = "\t<block name=\"" + longName + "\" type=\"0\"/>\r\n" + kArrayHead +
                              PoseArray().Text() + Move("60") + "\t<block name=\"open\r\n" +
                              kArrayHead + PoseArray().Text() + Move("60");
  const ParsedProgramText parsed = Parse(program);
  ASSERT_EQ(parsed.poses.size(), 2u);
  EXPECT_EQ(parsed.poses[0].label, std::string(1023 - 14, 'A')) << "the name runs to the piece end";
  EXPECT_EQ(parsed.poses[1].label, "open\n") << "without a closing quote the line end is kept";
}

// What is no motion program gives nothing: no pose, and no sound to offer.
TEST(ParseProgramText, WhatIsNoMotionProgramSaysWhyAndGivesNothing) {
  const std::string pose = PoseGroup("walk", PoseArray(), "60");
  const std::string sound = SoundGroup("START", "voice\\1.wav");
  const struct {
    const char* what;
    std::string bytes;
    ProgramTextFailure failure;
  } cases[] = {
      {"a program without any pose array", kProgramHeader + sound + kProgramEnd,
       ProgramTextFailure::kNoPose},
      {"an empty file", "", ProgramTextFailure::kNoPose},
      {"a NUL byte before a pose",
       kProgramHeader + sound + std::string(1, '\0') + pose + kProgramEnd,
       ProgramTextFailure::kNulByte},
      {"a NUL byte after the poses", kProgramHeader + pose + pose + std::string("\x01\0\xff", 3),
       ProgramTextFailure::kNulByte},
      {"binary bytes", std::string("\x12\x34\0\0\x80\xff<mem_w", 12), ProgramTextFailure::kNulByte},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ParsedProgramText parsed = Parse(c.bytes);
    EXPECT_EQ(parsed.failure, c.failure);
    EXPECT_THAT(parsed.poses, IsEmpty());
    EXPECT_THAT(parsed.sounds, IsEmpty());
    EXPECT_FALSE(parsed.posesLeftOut);
  }
}

TEST(ParseProgramText, PosesBeyondTheLimitAreLeftOutAndSaidSo) {
  std::string program = kProgramHeader;
  for (const char* name : {"one", "two", "three", "four"})
    program += PoseGroup(name, PoseArray(), "60");
  program += SoundGroup("END", "voice\\end.wav") + kProgramEnd;
  const ParsedProgramText parsed = Parse(program, 2);
  ASSERT_FALSE(parsed.failure);
  ASSERT_EQ(parsed.poses.size(), 2u);
  EXPECT_EQ(parsed.poses[1].label, "two");
  EXPECT_TRUE(parsed.posesLeftOut);
  EXPECT_THAT(parsed.sounds, ElementsAre("voice\\end.wav"))
      << "the rest of the program is still scanned";

  // Room for none: nothing readable is left, so it is no program.
  EXPECT_EQ(Parse(program, 0).failure, ProgramTextFailure::kNoPose);
}

}  // namespace
}  // namespace kz::testing
