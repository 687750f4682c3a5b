// Program text groups and the program writer: bytes against hand-written
// text.
#include "formats/program_writer.h"

#include <gmock/gmock.h>

#include <cstdio>

#include "formats/program_text.h"
#include "platform/text_encoding.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;

const std::string kHeader =
    "<medit>\r\n\t<format data=\"2\"/>\r\n</medit>\r\n\r\n"
    "<medit>\r\n\t<block name=\"Created by Kazo Motion Editor\" type=\"9\"/>\r\n</medit>\r\n\r\n";
const std::string kFinalLine = "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::string Hex(std::size_t offset) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08zx", offset);
  return text;
}

std::string Sjis(std::string_view utf8) { return SystemText(utf8); }

template <typename F>
std::string Text(F append) {
  std::string out;
  append(out);
  return out;
}

const std::string kZeroLine = "\t" + Repeat("0x0000,", 24) + "\r\n";
const std::string kLastLine =
    "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000\r\n</mem_w>\r\n";

std::string PoseHead(std::string_view name) {
  return "<medit>\r\n\t<block name=\"" + std::string(name) +
         "\" type=\"0\"/>\r\n</medit>\r\n<mem_w size=\"2\" adr=\"0x0a00\">\r\n";
}

// The six lines of the pose array that follows the pose head named `name`.
std::vector<std::string> ArrayLines(const std::string& program, std::string_view name) {
  const std::string head = PoseHead(name);
  std::size_t at = program.find(head);
  if (at == std::string::npos) return {};
  at += head.size();
  std::vector<std::string> lines;
  for (int i = 0; i < 6; ++i) {
    const std::size_t end = program.find("\r\n", at) + 2;
    lines.push_back(program.substr(at, end - at));
    at = end;
  }
  return lines;
}

// The names of the pose blocks, in program order, in UTF-8.
std::vector<std::string> PoseBlocks(const std::string& program) {
  std::vector<std::string> names;
  const std::string open = "<block name=\"";
  for (std::size_t at = program.find(open); at != std::string::npos;
       at = program.find(open, at + 1)) {
    const std::size_t start = at + open.size();
    const std::size_t end = program.find('"', start);
    if (program.compare(end, 11, "\" type=\"0\"/") == 0)
      names.push_back(Cp932ToUtf8(program.substr(start, end - start)).value_or("?"));
  }
  return names;
}

TEST(ProgramText, GroupsAreWrittenByteForByte) {
  const std::string label = Sjis("ポーズ2");  // 7 bytes
  const struct {
    const char* group;
    std::string written;
    std::string expected;
    std::size_t length;
  } cases[] = {
      {"header", Text(AppendHeader), kHeader, 120},
      {"set position head", Text(AppendSetPositionHead),
       "<medit>\r\n\t<block name=\"SET POSITION\" type=\"2\"/>\r\n</medit>\r\n", 59},
      {"set position line 0", Text([](std::string& o) { AppendSetPositionLine(o, 0); }),
       "<calc>\r\n\t<mem_r size=\"2\" adr=\"0x0d82\"/>\r\n\t<mem_r size=\"2\" adr=\"0x104a\"/>\r\n"
       "\t<sub/>\r\n\t<mem_w size=\"2\" adr=\"0x0a04\"/>\r\n</calc>\r\n",
       125},
      {"set position line 19", Text([](std::string& o) { AppendSetPositionLine(o, 19); }),
       "<calc>\r\n\t<mem_r size=\"2\" adr=\"0x0da8\"/>\r\n\t<mem_r size=\"2\" adr=\"0x150a\"/>\r\n"
       "\t<sub/>\r\n\t<mem_w size=\"2\" adr=\"0x0a50\"/>\r\n</calc>\r\n",
       125},
      {"set position move", Text(AppendSetPositionMove),
       "<mem_w size=\"2\" adr=\"0x0b00\">100</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n\r\n",
       75},
      {"torque on", Text(AppendTorqueOn),
       "<medit>\r\n\t<block name=\"SERVO TORUQUE ON\" type=\"2\"/>\r\n</medit>\r\n<calc>\r\n"
       "\t<const data=\"1\"/>\r\n\t<mem_w size=\"2\" adr=\"0x0048\"/>\r\n</calc>\r\n\r\n",
       135},
      {"torque off", Text(AppendTorqueOff),
       "<medit>\r\n\t<block name=\"SERVO TORUQUE OFF\" type=\"2\"/>\r\n</medit>\r\n<calc>\r\n"
       "\t<const data=\"0\"/>\r\n\t<mem_w size=\"2\" adr=\"0x0048\"/>\r\n</calc>\r\n\r\n",
       136},
      {"start sound", Text([](std::string& o) { AppendSound(o, "START", "voice\\303.wav"); }),
       "<medit>\r\n\t<block name=\"START SOUND\" type=\"6\"/>\r\n</medit>\r\n"
       "<mem_w size=\"2\" adr=\"0x0b00\">0x0064</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
       "<play filename=\"voice\\303.wav\"/>\r\n\r\n",
       152 + 5 + 13},
      {"wait", Text([](std::string& o) { AppendWait(o, 100); }),
       "<medit>\r\n\t<block name=\"WAIT\" type=\"10\"/>\r\n</medit>\r\n<wait "
       "data=\"100\"/>\r\n\r\n",
       71 + 3},
      {"posture check 1", Text(AppendPostureCheckPart1),
       "<medit>\r\n\t<block name=\"KAZO POSE CHECK\"/>\r\n</medit>\r\n<calc>\r\n"
       "\t<mem_r size=\"1\" adr=\"0x0f82\"/>\r\n\t<const data=\"1\"/>\r\n\t<sub/>\r\n\t<eq/>\r\n",
       131},
      {"posture check 2", Text(AppendPostureCheckPart2),
       "\t<jump adr=\"0x00000000\"/>\r\n</calc>\r\n<calc>\r\n\t<mem_r size=\"1\" "
       "adr=\"0x0f82\"/>\r\n"
       "\t<const data=\"2\"/>\r\n\t<sub/>\r\n\t<eq/>\r\n",
       114},
      {"posture check 3", Text(AppendPostureCheckPart3),
       "\t<jump adr=\"0x00000000\"/>\r\n</calc>\r\n\r\n<medit>\r\n"
       "\t<block name=\"STAND POSE MOTION\"/>\r\n</medit>\r\n\r\n",
       95},
      {"posture jump", Text([](std::string& o) { AppendPostureJump(o, 1234); }),
       "\t<jump adr=\"0x000004d2\"/>\r\n", 27},
      {"ground head", Text(AppendGroundPostureHead),
       "<medit>\r\n\t<block name=\"GROUND POSE MOTION\"/>\r\n</medit>\r\n\r\n", 58},
      {"chair head", Text(AppendChairPostureHead),
       "<medit>\r\n\t<block name=\"CHAIR POSE MOTION\"/>\r\n</medit>\r\n\r\n", 57},
      {"posture end head", Text(AppendPostureEndHead),
       "<medit>\r\n\t<block name=\"KAZO POSE END\"/>\r\n</medit>\r\n", 51},
      {"plain jump to 0", Text([](std::string& o) { AppendPlainJump(o, 0); }),
       "<jump adr=\"0000000000\"/>\r\n\r\n", 28},
      {"set synchro timer", Text([](std::string& o) { AppendSetSynchroTimer(o, 2, 0x0ef0); }),
       "<medit>\r\n\t<block name=\"SET SYNCHRO TIMER2\" type=\"2\"/>\r\n</medit>\r\n<calc>\r\n"
       "\t<mem_r size=\"4\" adr=\"0x0080\"/>\r\n\t<mem_w size=\"4\" adr=\"0x0ef0\"/>\r\n"
       "</calc>\r\n\r\n",
       150},
      {"check synchro", Text([&](std::string& o) { AppendCheckSynchro(o, label, 0x0ef0, 120); }),
       "<medit>\r\n\t<block name=\"CHECK SYNCHRO " + label +
           "\" type=\"1\"/>\r\n</medit>\r\n<calc>\r\n\t<mem_r size=\"4\" adr=\"0x0ef0\"/>\r\n"
           "\t<const data=\"120\"/>\r\n\t<add/>\r\n\t<mem_w size=\"4\" adr=\"0x0ef4\"/>\r\n"
           "</calc>\r\n",
       172 + 3 + 7},
      {"synchro test", Text([](std::string& o) { AppendSynchroTest(o, 0x0ef0, 1234); }),
       "<calc>\r\n\t<mem_r size=\"4\" adr=\"0x0080\"/>\r\n\t<mem_r size=\"4\" adr=\"0x0ef4\"/>\r\n"
       "\t<sub/>\r\n\t<ge/>\r\n\t<jump adr=\"0x000004d2\"/>\r\n</calc>\r\n",
       127},
      {"synchro wait", Text([](std::string& o) { AppendSynchroWait(o, 15, 300); }),
       "<wait data=\"0015\"/>\r\n<jump adr=\"0x0000012c\"/>\r\n\r\n", 49},
      {"loop counter", Text([](std::string& o) { AppendSetLoopCounter(o, 3); }),
       "<medit>\r\n\t<block name=\"SET LOOP COUNTER\" type=\"2\"/>\r\n</medit>\r\n<calc>\r\n"
       "\t<const data=\"3\"/>\r\n\t<mem_w size=\"2\" adr=\"0x0f00\"/>\r\n</calc>\r\n\r\n",
       63 + 72},
      {"count down", Text(AppendCountDown),
       "<medit>\r\n\t<block name=\"KZMOTION COUNT DOWN\" type=\"2\"/>\r\n</medit>\r\n<calc>\r\n"
       "\t<mem_r size=\"2\" adr=\"0x0f00\"/>\r\n\t<const data=\"1\"/>\r\n\t<sub/>\r\n"
       "\t<mem_w size=\"2\" adr=\"0x0f00\"/>\r\n</calc>\r\n\r\n",
       66 + 114},
      {"check counter", Text([](std::string& o) { AppendCheckCounter(o, 255); }),
       "<medit>\r\n\t<block name=\"KZMOTION CHECK COUNTER\" type=\"1\"/>\r\n</medit>\r\n<calc>\r\n"
       "\t<mem_r size=\"2\" adr=\"0x0f00\"/>\r\n\t<const data=\"0\"/>\r\n\t<sub/>\r\n\t<ne/>\r\n"
       "\t<jump adr=\"0x000000ff\"/>\r\n</calc>\r\n\r\n",
       69 + 116},
      {"final line", Text(AppendFinalLine), kFinalLine, 31},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.written, c.expected) << c.group;
    EXPECT_EQ(c.expected.size(), c.length) << c.group;
  }
}

TEST(ProgramText, JumpTargetsAreAlwaysTenCharacters) {
  EXPECT_EQ(JumpTarget(0), "0000000000");
  EXPECT_EQ(JumpTarget(1234), "0x000004d2");
  EXPECT_EQ(JumpTarget(0xffffffffu), "0xffffffff");
}

class ProgramWriterTest : public ::testing::Test {
 protected:
  // `count` poses labelled ポーズ1.., servo k of pose i holding 100 * i + k,
  // travel time 60, LEDs 0x0080FF under the brightness limit, no hold times;
  // no loop, no start or end processing. The options' standard values are 0
  // unless a test gives them.
  void StartBare(int count) {
    motion = Motion{};
    motion.startWait = 0;
    motion.endWait = 0;
    for (int i = 0; i < count; ++i) {
      Pose pose;
      pose.travelTime = 60;
      pose.leftEye = pose.rightEye = 0x000080FF;
      pose.flags = kBrightnessLimit;
      for (int k = 0; k < kServoCount; ++k) pose.servo[k] = static_cast<std::int16_t>(100 * i + k);
      pose.label = Sjis("ポーズ" + std::to_string(i + 1));
      motion.poses.push_back(pose);
    }
  }

  std::string Program(const ProgramOptions& options = {}) {
    const auto text = BuildProgramText(motion, options);
    EXPECT_TRUE(text);
    return text.value_or("");
  }

  Pose& PoseAt(int i) { return motion.poses[static_cast<std::size_t>(i)]; }

  Motion motion;
};

TEST_F(ProgramWriterTest, OnePoseIsHeaderPoseGroupAndFinalLine) {
  StartBare(1);
  // Servo k holds k; the standard values make three words stand out.
  StandardValues standard{};
  for (int k = 0; k < kServoCount; ++k) standard[static_cast<std::size_t>(k)] = k;
  standard[0] = 100;    // 0 - 100 = -100
  standard[5] = -1000;  // 5 + 1000 = 1005
  PoseAt(0).servo[19] = 19 + 300;

  const std::string pair = "0x0000,0x0064,";
  const std::string group =
      PoseHead(Sjis("ポーズ1")) + "\t" + pair + "0xff9c,0x0064," + Repeat(pair, 4) +
      "0x03ed,0x0064," +                                                      // IDs 1-7
      Repeat(pair, 5) + "\r\n" +                                              // IDs 8-12
      "\t" + Repeat(pair, 8) + "0x012c,0x0064," + Repeat(pair, 3) + "\r\n" +  // IDs 13-24
      "\t" + Repeat("0x0000,", 16) +
      "0x0032,0x0019,0x0000,0x0032,0x0019,0x0000,0x0000,0x0000,\r\n" +  // LEDs, limited
      kZeroLine + kZeroLine + kLastLine +
      "<mem_w size=\"2\" adr=\"0x0b00\">60</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n\r\n";
  ASSERT_EQ(group.size(), 1073u + 7 + 2) << "label 7 bytes, travel time 2 digits";

  const std::string program = Program({.standardValues = standard});
  EXPECT_EQ(program.size(), 120 + group.size() + 31);
  EXPECT_EQ(program, kHeader + group + kFinalLine);
}

TEST_F(ProgramWriterTest, StartAndEndProcessingSurroundThePoses) {
  StartBare(1);
  motion.startTorqueOn = 1;
  motion.startSound = "voice\\303.wav";
  motion.startWait = 100;
  motion.endSound = "voice\\Y153.wav";
  motion.endWait = 50;
  motion.endTorqueOff = 1;
  PoseAt(0).holdTime = 60;
  const std::string program = Program();

  EXPECT_EQ(program.substr(120, 59),
            "<medit>\r\n\t<block name=\"SET POSITION\" type=\"2\"/>\r\n</medit>\r\n");
  for (int k = 0; k < 20; ++k) {
    const std::string line = program.substr(179 + 125 * static_cast<std::size_t>(k), 125);
    EXPECT_TRUE(line.starts_with("<calc>\r\n\t<mem_r size=\"2\" adr=\"0x0d") &&
                line.ends_with("\"/>\r\n</calc>\r\n"))
        << "calc line " << k;
  }
  EXPECT_EQ(program.substr(179 + 125 * 19, 125),
            "<calc>\r\n\t<mem_r size=\"2\" adr=\"0x0da8\"/>\r\n\t<mem_r size=\"2\" adr=\"0x150a\"/>"
            "\r\n\t<sub/>\r\n\t<mem_w size=\"2\" adr=\"0x0a50\"/>\r\n</calc>\r\n");
  const std::string afterCalcs =
      "<mem_w size=\"2\" adr=\"0x0b00\">100</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n\r\n"
      "<medit>\r\n\t<block name=\"SERVO TORUQUE ON\" type=\"2\"/>\r\n</medit>\r\n<calc>\r\n"
      "\t<const data=\"1\"/>\r\n\t<mem_w size=\"2\" adr=\"0x0048\"/>\r\n</calc>\r\n\r\n"
      "<medit>\r\n\t<block name=\"START SOUND\" type=\"6\"/>\r\n</medit>\r\n"
      "<mem_w size=\"2\" adr=\"0x0b00\">0x0064</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<play filename=\"voice\\303.wav\"/>\r\n\r\n"
      "<medit>\r\n\t<block name=\"WAIT\" type=\"10\"/>\r\n</medit>\r\n<wait "
      "data=\"100\"/>\r\n\r\n" +
      PoseHead(Sjis("ポーズ1"));
  EXPECT_EQ(program.substr(179 + 125 * 20, afterCalcs.size()), afterCalcs);

  const std::string ending =
      "<mem_w size=\"2\" adr=\"0x0b00\">60</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n\r\n"
      "<medit>\r\n\t<block name=\"WAIT\" type=\"10\"/>\r\n</medit>\r\n<wait data=\"60\"/>\r\n\r\n"
      "<medit>\r\n\t<block name=\"END SOUND\" type=\"6\"/>\r\n</medit>\r\n"
      "<mem_w size=\"2\" adr=\"0x0b00\">0x0064</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<play filename=\"voice\\Y153.wav\"/>\r\n\r\n"
      "<medit>\r\n\t<block name=\"WAIT\" type=\"10\"/>\r\n</medit>\r\n<wait data=\"50\"/>\r\n\r\n"
      "<medit>\r\n\t<block name=\"SERVO TORUQUE OFF\" type=\"2\"/>\r\n</medit>\r\n<calc>\r\n"
      "\t<const data=\"0\"/>\r\n\t<mem_w size=\"2\" adr=\"0x0048\"/>\r\n</calc>\r\n\r\n" +
      kFinalLine;
  EXPECT_TRUE(program.ends_with(ending));
}

TEST_F(ProgramWriterTest, LoopCountsDownFromTheGroupAtItsTop) {
  StartBare(1);
  motion.loopCount = 3;
  const std::string program = Program();
  EXPECT_EQ(program.substr(120, 135),
            "<medit>\r\n\t<block name=\"SET LOOP COUNTER\" type=\"2\"/>\r\n</medit>\r\n<calc>\r\n"
            "\t<const data=\"3\"/>\r\n\t<mem_w size=\"2\" adr=\"0x0f00\"/>\r\n</calc>\r\n\r\n");
  EXPECT_EQ(program.substr(255, 54),
            "<medit>\r\n\t<block name=\"KZMOTION COUNT DOWN\" type=\"2\"/>");
  EXPECT_TRUE(program.ends_with(
      "<medit>\r\n\t<block name=\"KZMOTION CHECK COUNTER\" type=\"1\"/>\r\n</medit>\r\n<calc>\r\n"
      "\t<mem_r size=\"2\" adr=\"0x0f00\"/>\r\n\t<const data=\"0\"/>\r\n\t<sub/>\r\n\t<ne/>\r\n"
      "\t<jump adr=\"0x000000ff\"/>\r\n</calc>\r\n\r\n" +
      kFinalLine));

  for (int count : {1, 0, -3}) {
    motion.loopCount = count;
    EXPECT_EQ(Program().find("0x0f00"), std::string::npos) << count;
  }
}

TEST_F(ProgramWriterTest, SynchronisedStartsWaitAndJumpIntoTheirPose) {
  StartBare(2);
  PoseAt(0).flags |= kStartSynchronised;  // start time 0: a new reference time
  PoseAt(1).flags |= kStartSynchronised;
  PoseAt(1).startTime = 120;
  const std::string program = Program();

  const auto timer = [](char number) {
    return std::string("<medit>\r\n\t<block name=\"SET SYNCHRO TIMER") + number +
           "\" type=\"2\"/>\r\n</medit>\r\n<calc>\r\n\t<mem_r size=\"4\" adr=\"0x0080\"/>\r\n"
           "\t<mem_w size=\"4\" adr=\"0x0ef0\"/>\r\n</calc>\r\n\r\n";
  };
  const std::string start = timer('1') + timer('2') + PoseHead(Sjis("ポーズ1"));
  EXPECT_EQ(program.substr(120, start.size()), start);

  const std::string check = "<medit>\r\n\t<block name=\"CHECK SYNCHRO " + Sjis("ポーズ2") +
                            "\" type=\"1\"/>\r\n</medit>\r\n<calc>\r\n"
                            "\t<mem_r size=\"4\" adr=\"0x0ef0\"/>\r\n\t<const data=\"120\"/>\r\n"
                            "\t<add/>\r\n\t<mem_w size=\"4\" adr=\"0x0ef4\"/>\r\n</calc>\r\n";
  const std::size_t checkAt = program.find(check);
  ASSERT_NE(checkAt, std::string::npos);
  const std::size_t poseAt = checkAt + check.size() + 176;
  const std::string testAndWait =
      "<calc>\r\n\t<mem_r size=\"4\" adr=\"0x0080\"/>\r\n\t<mem_r size=\"4\" adr=\"0x0ef4\"/>\r\n"
      "\t<sub/>\r\n\t<ge/>\r\n\t<jump adr=\"" +
      Hex(poseAt) + "\"/>\r\n</calc>\r\n<wait data=\"0015\"/>\r\n<jump adr=\"" + Hex(checkAt) +
      "\"/>\r\n\r\n";
  ASSERT_EQ(testAndWait.size(), 176u);
  EXPECT_EQ(program.substr(checkAt + check.size(), 176), testAndWait);
  EXPECT_EQ(program.compare(poseAt, PoseHead(Sjis("ポーズ2")).size(), PoseHead(Sjis("ポーズ2"))),
            0);
}

TEST_F(ProgramWriterTest, BackAndForthWalksBackWithoutTheLastPose) {
  StartBare(3);
  EXPECT_THAT(PoseBlocks(Program()), ElementsAre("ポーズ1", "ポーズ2", "ポーズ3"));
  motion.backAndForth = true;
  EXPECT_THAT(PoseBlocks(Program()),
              ElementsAre("ポーズ1", "ポーズ2", "ポーズ3", "ポーズ2", "ポーズ1"));
  // The way back carries no synchronisation of its own.
  PoseAt(0).flags |= kStartSynchronised;
  PoseAt(0).startTime = 30;
  const std::string program = Program();
  std::size_t checks = 0;
  for (std::size_t at = program.find("CHECK SYNCHRO"); at != std::string::npos;
       at = program.find("CHECK SYNCHRO", at + 1))
    ++checks;
  EXPECT_EQ(checks, 1u);
}

TEST_F(ProgramWriterTest, LedWordsFollowTheBrightnessLimit) {
  const struct {
    std::uint32_t flags;
    const char* words;
  } cases[] = {
      {kBrightnessLimit, "0x0032,0x0019,0x0000,0x0001,0x0005,0x0014,0x0032,"},
      {0, "0x00ff,0x0080,0x0000,0x000a,0x001e,0x0064,0x00ff,"},
  };
  for (const auto& c : cases) {
    StartBare(1);
    PoseAt(0).flags = c.flags;
    PoseAt(0).leftEye = 0x000080FF;   // red 255, green 128, blue 0
    PoseAt(0).rightEye = 0x00641E0A;  // red 10, green 30, blue 100
    PoseAt(0).mouth = 255;
    const auto lines = ArrayLines(Program(), Sjis("ポーズ1"));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], "\t" + Repeat("0x0000,", 16) + c.words + "0x0000,\r\n") << c.flags;
  }
}

TEST_F(ProgramWriterTest, PerPostureSectionsTakeTheSeatedServoValues) {
  StartBare(1);  // servo k holds k
  StandardValues standard{};
  standard[1] = 50;  // ID 3
  const std::string program = Program({.standardValues = standard, .perPosture = true});

  const std::string backLine2 =
      "\t0x000b,0x0064,0x000c,0x0064,0x000d,0x0064,0x000e,0x0064,0x000f,0x0064,0x0010,0x0064,"
      "0x0011,0x0064,0x0012,0x0064,0x0013,0x0064,0x0000,0x0064,0x0000,0x0064,0x0000,0x0064,\r\n";
  const struct {
    const char* name;
    std::string line1;
    std::string line2;
  } sections[] = {
      {"立ち姿勢 ポーズ1",
       "\t0x0000,0x0064,0x0000,0x0064,0xffcf,0x0064,0x0002,0x0064,0x0003,0x0064,0x0004,0x0064,"
       "0x0005,0x0064,0x0006,0x0064,0x0007,0x0064,0x0008,0x0064,0x0009,0x0064,0x000a,0x0064,\r\n",
       backLine2},
      // Neck and head (IDs 13 to 15) keep the pose's values.
      {"座り姿勢 ポーズ1",
       "\t0x0000,0x0064,0x0000,0x0064,0xfc18,0x0064,0xfed4,0x0064,0xff4c,0x0064,0xffec,0x0064,"
       "0x0000,0x0064,0x03b6,0x0064,0x0104,0x0064,0x0096,0x0064,0x0023,0x0064,0x0000,0x0064,\r\n",
       "\t0x000b,0x0064,0x000c,0x0064,0x000d,0x0064,0xff7e,0x0064,0x02f8,0x0064,0x0019,0x0064,"
       "0x0096,0x0064,0xfd1c,0x0064,0xfffb,0x0064,0x0000,0x0064,0x0000,0x0064,0x0000,0x0064,\r\n"},
      // Only the legs (IDs 2 to 11) take the chair's values.
      {"充電椅子 ポーズ1",
       "\t0x0000,0x0064,0x0000,0x0064,0xfc90,0x0064,0xff6a,0x0064,0xffbf,0x0064,0xffdd,0x0064,"
       "0x0000,0x0064,0x033e,0x0064,0x006e,0x0064,0x0023,0x0064,0x0014,0x0064,0x000a,0x0064,\r\n",
       backLine2},
  };
  for (const auto& s : sections) {
    const auto lines = ArrayLines(program, Sjis(s.name));
    ASSERT_EQ(lines.size(), 6u) << s.name;
    EXPECT_EQ(lines[0], s.line1) << s.name;
    EXPECT_EQ(lines[1], s.line2) << s.name;
  }
}

TEST_F(ProgramWriterTest, PerPostureDispatchJumpsToTheSectionHeadsAndTheEnd) {
  StartBare(2);
  const std::string program = Program({.perPosture = true});
  const std::size_t ground = program.find("<medit>\r\n\t<block name=\"GROUND POSE MOTION\"/>");
  const std::size_t chair = program.find("<medit>\r\n\t<block name=\"CHAIR POSE MOTION\"/>");
  const std::string endHead = "<medit>\r\n\t<block name=\"KAZO POSE END\"/>\r\n</medit>\r\n";
  const std::size_t end = program.find(endHead);
  ASSERT_NE(ground, std::string::npos);
  ASSERT_NE(chair, std::string::npos);
  ASSERT_NE(end, std::string::npos);

  const std::string dispatch =
      "<medit>\r\n\t<block name=\"KAZO POSE CHECK\"/>\r\n</medit>\r\n<calc>\r\n"
      "\t<mem_r size=\"1\" adr=\"0x0f82\"/>\r\n\t<const data=\"1\"/>\r\n\t<sub/>\r\n\t<eq/>\r\n"
      "\t<jump adr=\"" +
      Hex(ground) +
      "\"/>\r\n</calc>\r\n<calc>\r\n\t<mem_r size=\"1\" adr=\"0x0f82\"/>\r\n"
      "\t<const data=\"2\"/>\r\n\t<sub/>\r\n\t<eq/>\r\n\t<jump adr=\"" +
      Hex(chair) +
      "\"/>\r\n</calc>\r\n\r\n<medit>\r\n\t<block name=\"STAND POSE MOTION\"/>\r\n</medit>\r\n"
      "\r\n" +
      PoseHead(Sjis("立ち姿勢 ポーズ1"));
  EXPECT_EQ(program.substr(120, dispatch.size()), dispatch);

  // Standing and ground sections jump to the end group; the chair falls in.
  const std::string toEnd = "<jump adr=\"" + Hex(end) + "\"/>\r\n\r\n";
  EXPECT_EQ(program.substr(ground - 28, 28), toEnd);
  EXPECT_EQ(program.substr(chair - 28, 28), toEnd);
  EXPECT_TRUE(program.substr(0, end).ends_with("<wait size=\"1\" adr=\"0x0b43\"/>\r\n\r\n"));
  EXPECT_EQ(program.substr(end), endHead + kFinalLine);
  EXPECT_EQ(program.find("0000000000"), std::string::npos);
  EXPECT_EQ(program.find("0x00000000"), std::string::npos);

  EXPECT_THAT(PoseBlocks(program),
              ElementsAre("立ち姿勢 ポーズ1", "立ち姿勢 ポーズ2", "座り姿勢 ポーズ1",
                          "座り姿勢 ポーズ2", "充電椅子 ポーズ1", "充電椅子 ポーズ2"));
  motion.backAndForth = true;
  EXPECT_THAT(PoseBlocks(Program({.perPosture = true})),
              ElementsAre("立ち姿勢 ポーズ1", "立ち姿勢 ポーズ2", "ポーズ1", "座り姿勢 ポーズ1",
                          "座り姿勢 ポーズ2", "ポーズ1", "充電椅子 ポーズ1", "充電椅子 ポーズ2",
                          "ポーズ1"));

  motion.backAndForth = false;
  PoseAt(1).flags |= kStartSynchronised;
  EXPECT_FALSE(BuildProgramText(motion, {.perPosture = true}));
}

}  // namespace
}  // namespace kz::testing
