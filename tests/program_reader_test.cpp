// Reading poses back from motion program text.
#include "formats/program_reader.h"

#include <gmock/gmock.h>

#include <cstdio>

#include "fakes/editor_fixture.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

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

// The 128 words of a pose array as the writer lays them out: servo k at word
// 2k + 2, torque words 0x0064, the LED words from word 64.
class PoseArray {
 public:
  PoseArray() {
    words_.fill("0x0000");
    for (std::size_t n = 0; n < 24; ++n) words_[2 * n + 1] = "0x0064";
  }
  PoseArray& Servo(int k, const std::string& word) {
    words_[static_cast<std::size_t>(2 * k + 2)] = word;
    return *this;
  }
  PoseArray& Leds(const std::vector<std::string>& words) {
    for (std::size_t i = 0; i < words.size(); ++i) words_[64 + i] = words[i];
    return *this;
  }
  // Six lines: five of 24 words ending in a comma, one of 8.
  std::string Text() const {
    std::string text;
    for (std::size_t i = 0; i < words_.size(); ++i) {
      if (i % 24 == 0) text += '\t';
      text += words_[i];
      if (i != words_.size() - 1) text += ',';
      if (i % 24 == 23 || i == words_.size() - 1) text += "\r\n";
    }
    return text;
  }

 private:
  std::array<std::string, 128> words_;
};

const std::string kArrayHead = "<mem_w size=\"2\" adr=\"0x0a00\">\r\n";

std::string Block(const std::string& name, const std::string& type) {
  return "<medit>\r\n\t<block name=\"" + name + "\" type=\"" + type + "\"/>\r\n</medit>\r\n";
}

std::string Move(const std::string& travel) {
  return "<mem_w size=\"2\" adr=\"0x0b00\">" + travel +
         "</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n\r\n";
}

std::string PoseGroup(const std::string& name, const PoseArray& array, const std::string& travel) {
  return Block(name, "0") + kArrayHead + array.Text() + "</mem_w>\r\n" + Move(travel);
}

std::string SoundGroup(const std::string& which, const std::string& file) {
  return Block(which + " SOUND", "6") + "<mem_w size=\"2\" adr=\"0x0b00\">0x0064</mem_w>\r\n" +
         "<wait size=\"1\" adr=\"0x0b43\"/>\r\n<play filename=\"" + file + "\"/>\r\n\r\n";
}

const std::string kHeader =
    "<medit>\r\n\t<format data=\"2\"/>\r\n</medit>\r\n\r\n"
    "<medit>\r\n\t<block name=\"Created by Kazo Motion Editor\" type=\"9\"/>\r\n</medit>\r\n\r\n";
const std::string kFinalLine = "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";

class ProgramReaderTest : public EditorFixture {
 protected:
  // Standard value k is 10 * k; the start sound setting is empty unless given.
  void StartReader(const std::string& startSound = "", const std::string& poseSettings = "") {
    WriteSettings("[SOUND]\nSTART_SOUND=" + startSound + "\n[POSE]\nLOOP_COUNT=4\n" + poseSettings);
    StartWithPoses(3);
    StandardValues values{};
    for (std::size_t k = 0; k < kServoCount; ++k) values[k] = static_cast<int>(10 * k);
    document->standardValues = values;
  }

  bool Read(const std::string& program) {
    return ReadMotionProgram(*document, editor, folder.Write("MOTION.KM4", program));
  }

  const Pose& PoseAt(int i) const { return document->motion.poses[static_cast<std::size_t>(i)]; }
};

TEST_F(ProgramReaderTest, TheArrayFixtureHasTheWrittenLineLengths) {
  EXPECT_EQ((PoseArray().Text() + "</mem_w>\r\n").size(), 5 * 171 + 68u);
}

TEST_F(ProgramReaderTest, PosesSoundsAndLabelsOfAWrittenProgram) {
  StartReader();
  document->motion.startSound = "stale";
  ui.SetText(ctl::kLoopCount, "9");
  PoseArray first;
  for (int k = 0; k < kServoCount; ++k) {
    char word[8];
    std::snprintf(word, sizeof word, "0x%04x", k + 1);
    first.Servo(k, word);
  }
  first.Leds({"0x0032", "0x0019", "0x0000", "0x0000", "0x0000", "0x0032", "0x0014"});
  const std::string firstName = SystemText("立ち姿勢 ポーズ1");
  const std::string program = kHeader + SoundGroup("START", "voice\\303.wav") +
                              PoseGroup(firstName, first, "45") +
                              PoseGroup("second", PoseArray().Servo(0, "0xff9c"), "0x001e") +
                              SoundGroup("END", "voice\\END.wav") + kFinalLine;
  ui.answers = {Button::kYes, Button::kNo};

  ASSERT_TRUE(Read(program));

  // The settings were reset first, so the start sound was empty when asked.
  ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgUseAsStartSound, kMsgUseAsEndSound));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kYesNoQuestion);
  EXPECT_THAT(ui.shown[0].args, ElementsAre("voice\\303.wav"));
  EXPECT_THAT(ui.shown[1].args, ElementsAre("voice\\END.wav"));
  EXPECT_EQ(document->motion.startSound, "voice\\303.wav");
  EXPECT_EQ(document->motion.endSound, "voice\\Y153.wav") << "No keeps the end sound";
  EXPECT_EQ(ui.ReadNumber(ctl::kLoopCount), 4);

  ASSERT_EQ(document->poseCount(), 2) << "the earlier poses were released";
  const Pose& a = PoseAt(0);
  EXPECT_EQ(a.label, firstName);
  for (int k = 0; k < kServoCount; ++k) EXPECT_EQ(a.servo[k], 10 * k + k + 1) << k;
  EXPECT_EQ(a.leftEye, 0x007DFAu);
  EXPECT_EQ(a.rightEye, 0xFA0000u);
  EXPECT_EQ(a.mouth, 100);
  EXPECT_EQ(a.travelTime, 45);
  EXPECT_EQ(a.holdTime, 0);
  EXPECT_EQ(a.flags, kBrightnessLimit);
  EXPECT_EQ(a.startTime, 0);

  const Pose& b = PoseAt(1);
  EXPECT_EQ(b.label, "second");
  EXPECT_EQ(b.servo[0], -100);
  EXPECT_EQ(b.servo[19], 190);
  EXPECT_EQ(b.travelTime, 30) << "hexadecimal travel time";
  EXPECT_EQ(b.leftEye, 0u);
}

TEST_F(ProgramReaderTest, ASoundOfferedWhileTheStartSoundIsSetBecomesTheEndSound) {
  StartReader("voice\\1.wav");
  ui.answers = {Button::kYes};
  ASSERT_TRUE(Read(kHeader + SoundGroup("START", "voice\\2.wav") +
                   PoseGroup("p", PoseArray(), "60") + kFinalLine));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgUseAsEndSound));
  EXPECT_EQ(document->motion.startSound, "voice\\1.wav");
  EXPECT_EQ(document->motion.endSound, "voice\\2.wav");
}

TEST_F(ProgramReaderTest, UnnamedPosesAreNumberedAndBadWordsRepeatThePreviousServo) {
  StartReader();
  PoseArray array;
  array.Servo(0, "0x000A").Servo(1, "0x0005").Servo(2, "0x00FF").Servo(3, "0x0007");
  array.Servo(4, "junk!!");
  // Blanks and bytes from 0x80 up before a word are passed over.
  const std::string highBytes = "\x81\xA0";
  array.Servo(5, highBytes + "0x0006").Servo(6, " 0x0008");
  const std::string unnamed = kArrayHead + array.Text() + "</mem_w>\r\n" + Move("-3");
  ASSERT_TRUE(Read(unnamed + unnamed));
  ASSERT_EQ(document->poseCount(), 2);
  EXPECT_EQ(LabelOf(0), "ポーズ1");
  EXPECT_EQ(LabelOf(1), "ポーズ2");
  const Pose& pose = PoseAt(0);
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

TEST_F(ProgramReaderTest, IncompleteArraysEndTheScan) {
  const std::string line = "\t0x0000,0x0064,0x0001,0x0064,\r\n";
  const std::string complete = PoseGroup("later", PoseArray(), "60");
  const struct {
    const char* what;
    std::string program;
    int poses;
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
    StartReader();
    // Without one readable pose the file is refused and the motion stays.
    ASSERT_EQ(Read(c.program), c.poses > 0) << c.what;
    if (c.poses == 0) {
      EXPECT_EQ(document->poseCount(), 3) << c.what;
      continue;
    }
    ASSERT_EQ(document->poseCount(), c.poses) << c.what;
    EXPECT_EQ(PoseAt(0).servo[0], 1) << c.what;
    EXPECT_EQ(PoseAt(0).travelTime, c.travelTime) << c.what;
    EXPECT_EQ(PoseAt(0).leftEye, c.leftEye) << c.what;
  }
}

TEST_F(ProgramReaderTest, LinesAreReadInPiecesOf1023BytesWithCrLfAsLf) {
  StartReader();
  const std::string longName(2000, 'A');
  const std::string program = "\t<block name=\"" + longName + "\" type=\"0\"/>\r\n" + kArrayHead +
                              PoseArray().Text() + Move("60") + "\t<block name=\"open\r\n" +
                              kArrayHead + PoseArray().Text() + Move("60");
  ASSERT_TRUE(Read(program));
  ASSERT_EQ(document->poseCount(), 2);
  EXPECT_EQ(PoseAt(0).label, std::string(1023 - 14, 'A')) << "the name runs to the piece end";
  EXPECT_EQ(PoseAt(1).label, "open\n") << "without a closing quote the line end is kept";
}

// What is no motion program changes nothing: not the poses, not the start
// and end processing, not the loop settings; no sound is offered.
TEST_F(ProgramReaderTest, AFileThatIsNoProgramIsRefusedAndChangesNothing) {
  const std::string pose = PoseGroup("walk", PoseArray(), "60");
  const std::string sound = SoundGroup("START", "voice\\1.wav");
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"a program without any pose array", kHeader + sound + kFinalLine},
      {"an empty file", ""},
      {"a NUL byte before a pose", kHeader + sound + std::string(1, '\0') + pose + kFinalLine},
      {"a NUL byte after the poses", kHeader + pose + pose + std::string("\x01\0\xff", 3)},
      {"binary bytes", std::string("\x12\x34\0\0\x80\xff<mem_w", 12)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StartReader();
    document->motion.startSound = "mine.wav";
    document->motion.endSound = "";
    document->motion.startWait = 7;
    document->motion.startTorqueOn = 1;
    ui.SetText(ctl::kLoopCount, "9");
    ui.SetChecked(ctl::kBackAndForth, true);
    ui.shown.clear();
    const std::string path = folder.Write("MOTION.KM4", c.bytes);
    EXPECT_FALSE(ReadMotionProgram(*document, editor, path));
    ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgNotAMotionProgram));
    EXPECT_EQ(ui.shown[0].kind, BoxKind::kExclamation);
    EXPECT_THAT(ui.shown[0].args, ElementsAre(path));
    EXPECT_EQ(document->poseCount(), 3);
    EXPECT_EQ(LabelOf(2), "ポーズ3");
    EXPECT_EQ(document->motion.startSound, "mine.wav");
    EXPECT_EQ(document->motion.endSound, "");
    EXPECT_EQ(document->motion.startWait, 7);
    EXPECT_EQ(document->motion.startTorqueOn, 1);
    EXPECT_EQ(ui.ReadNumber(ctl::kLoopCount), 9);
    EXPECT_TRUE(ui.IsChecked(ctl::kBackAndForth));
  }
}

TEST_F(ProgramReaderTest, AnUnreadableFileShowsMessage125AndKeepsThePoses) {
  StartReader();
  EXPECT_FALSE(ReadMotionProgram(*document, editor, folder.Path("missing.KM4")));
  EXPECT_FALSE(ReadMotionProgram(*document, editor, folder.path()));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramReadFailed, kMsgProgramReadFailed));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
  EXPECT_EQ(document->poseCount(), 3);
}

TEST_F(ProgramReaderTest, WithoutStandardValuesNothingIsRead) {
  WriteSettings("");
  StartWithPoses(2);
  ui.fileAnswers.push_back(std::nullopt);  // the user cancels choosing a setup file
  EXPECT_FALSE(ReadMotionProgram(*document, editor, folder.Write("M.KM4", kHeader)));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSetupNotLoaded));
  EXPECT_EQ(document->poseCount(), 2);
}

TEST_F(ProgramReaderTest, PosesBeyondTheLimitAreLeftOutAndTheUserIsTold) {
  StartReader("", "MAX_POSE=2\n");
  std::string program = kHeader;
  for (const char* name : {"one", "two", "three", "four"})
    program += PoseGroup(name, PoseArray(), "60");
  program += SoundGroup("END", "voice\\end.wav") + kFinalLine;
  ui.answers = {Button::kYes};
  ASSERT_TRUE(Read(program));
  ASSERT_EQ(document->poseCount(), 2);
  EXPECT_EQ(PoseAt(1).label, "two");
  EXPECT_EQ(document->motion.startSound, "voice\\end.wav")
      << "the rest of the program is still scanned";
  ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgUseAsStartSound, kMsgPosesBeyondLimitNotRead));
  EXPECT_EQ(ui.shown[1].kind, BoxKind::kExclamation);
  EXPECT_THAT(ui.shown[1].args, ElementsAre("2"));
}

}  // namespace
}  // namespace kz::testing
