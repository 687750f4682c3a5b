// The program commands through the scripted window: writing a program
// (its file dialog, the editor taken over, the settings it reads, what it
// refuses) and reading one back (the questions about its sounds, what is
// kept when the file is refused).
#include "commands/program_commands.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <set>

#include "fakes/editor_fixture.h"
#include "fakes/program_text_pieces.h"
#include "fakes/scoped_env.h"
#include "formats/program_reader.h"
#include "formats/program_writer.h"
#include "model/settings.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Sjis(std::string_view utf8) { return SystemText(utf8); }

class ProgramWriterCommandTest : public EditorFixture {
 protected:
  // Poses as StartWithPoses makes them, no start or end processing, no hold
  // times, standard values 0.
  void StartBare(int poses) {
    StartWithPoses(poses);
    document->motion.startSound.clear();
    document->motion.endSound.clear();
    document->motion.startWait = 0;
    document->motion.endWait = 0;
    for (Pose& pose : document->motion.poses) pose.holdTime = 0;
    document->standardValues = StandardValues{};
  }

  // The program of `motion` (the document's by default) against standard
  // values 0.
  std::string Program(const ProgramOptions& options = {}) {
    return Program(document->motion, options);
  }
  static std::string Program(const Motion& motion, const ProgramOptions& options = {}) {
    const auto text = BuildProgramText(motion, options);
    EXPECT_TRUE(text);
    return text.value_or("");
  }

  Pose& PoseAt(int i) { return document->motion.poses[static_cast<std::size_t>(i)]; }

  bool Write(const std::string& path, bool perPosture = false) {
    ui.fileAnswers.push_back(FileDialogAnswer{path, perPosture});
    return WriteMotionProgram(*document, editor);
  }
  std::string RememberedPath() const {
    return Settings(SettingsPath()).ReadText("POSE", "PATH", "<none>", 260);
  }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
};

TEST_F(ProgramWriterCommandTest, WritesTheProgramAndRemembersItsPath) {
  const ScopedEnv home("HOME", folder.path());
  StartBare(2);
  ui.SetText(ctl::ServoField(0), "-100");
  document->modified = true;
  const std::string target = folder.Path("MOTION.KM4");
  ASSERT_TRUE(Write(target));

  ASSERT_EQ(ui.fileRequests.size(), 1u);
  const FileDialogRequest& request = ui.fileRequests[0];
  EXPECT_FALSE(request.open);
  EXPECT_EQ(request.defaultExtension, "KM4");
  EXPECT_EQ(request.filter, Sjis("ブログラム(KM4)|*.KM4||"));
  EXPECT_EQ(request.initialName, folder.path() + "/") << "a new motion starts at home";
  EXPECT_TRUE(request.overwritePrompt);
  EXPECT_EQ(request.optionText, Sjis("姿勢毎のモーションを出力する(判定判定を行う)"));
  EXPECT_FALSE(request.optionChecked);

  EXPECT_EQ(PoseAt(0).servo[0], -100) << "the editor was taken over first";
  EXPECT_EQ(folder.Read("MOTION.KM4"), Program());
  EXPECT_NE(folder.Read("MOTION.KM4").find("\t0x0000,0x0064,0xff9c,"), std::string::npos);
  EXPECT_EQ(RememberedPath(), target);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].id, kMsgProgramWritten);
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kInformation);
  EXPECT_TRUE(document->modified) << "writing a program is not saving the motion";

  ASSERT_TRUE(Write(target));
  EXPECT_EQ(ui.fileRequests[1].initialName, target);
}

TEST_F(ProgramWriterCommandTest, TheBuiltInProgramPathGivesWayToTheMotionsOwnName) {
  const ScopedEnv home("HOME", folder.Path("ホーム"));
  const struct {
    const char* what;
    std::string ini;
    std::string motion;  // editDataPath
    std::string offered;
  } cases[] = {
      {"a saved motion", "", folder.Path("walk.kzi"), folder.Path("walk.KM4")},
      {"a name with dots", "", folder.Path("v1.2.KZI"), folder.Path("v1.2.KM4")},
      {"the default written out", SystemText("[POSE]\nPATH=\\6\\545えへ９.KM4\n"),
       folder.Path("walk.KZI"), folder.Path("walk.KM4")},
      {"a new motion", "", "", SystemText(folder.Path("ホーム") + "/")},
      {"a chosen path", "[POSE]\nPATH=/d/run.KM4\n", folder.Path("walk.KZI"), "/d/run.KM4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSettings(c.ini);
    StartBare(1);
    document->editDataPath = c.motion;
    ui.fileRequests.clear();
    ui.fileAnswers = {std::nullopt};
    EXPECT_FALSE(WriteMotionProgram(*document, editor));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].initialName, c.offered);
  }

  // Taking the offered name writes beside the motion, and nothing is named
  // with backslashes.
  WriteSettings("");
  StartBare(1);
  document->editDataPath = folder.Path("walk.KZI");
  ui.fileRequests.clear();
  ui.fileAnswers = {FileDialogAnswer{folder.Path("walk.KM4"), false}};
  ASSERT_TRUE(WriteMotionProgram(*document, editor));
  EXPECT_EQ(folder.Read("walk.KM4").substr(0, 7), "<medit>");
  EXPECT_EQ(RememberedPath(), folder.Path("walk.KM4"));
  for (const std::string& name : Files()) EXPECT_EQ(name.find('\\'), std::string::npos) << name;
}

TEST_F(ProgramWriterCommandTest, ANameNoProgramCanCarryIsRefusedBeforeAFileIsAsked) {
  // A line break would split the name's statement across lines.
  for (const std::string& bad :
       std::vector<std::string>{"\"", "<", ">", "\r", "\n", std::string(1, '\0'), "\t"}) {
    SCOPED_TRACE(bad);
    StartBare(3);
    const std::string label = SystemText("ポーズ") + bad + "2";
    PoseAt(1).label = label;
    ui.fileRequests.clear();
    ui.shown.clear();
    EXPECT_FALSE(Write(folder.Path("MOTION.KM4")));
    ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgPoseLabelUnfit));
    EXPECT_THAT(ui.shown[0].args, ElementsAre("2", label));
    EXPECT_EQ(FormatMessage(kMsgPoseLabelUnfit, {"2", std::string("ポーズ") + bad + "2"}),
              std::string("2番目のポーズの名前[ポーズ") + bad +
                  "2]に「\"」「<」「>」や改行などの制御文字が含まれているため、プログラムを書き出せ"
                  "ません。");

    PoseAt(1).label = SystemText("ポーズ2");
    document->motion.endSound = std::string("voice\\") + bad + ".wav";
    ui.shown.clear();
    EXPECT_FALSE(Write(folder.Path("MOTION.KM4")));
    EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSoundNameUnfit));
    EXPECT_THAT(ui.shown[0].args, ElementsAre(document->motion.endSound));
    EXPECT_THAT(ui.fileRequests, IsEmpty());
    EXPECT_EQ(folder.Read("MOTION.KM4"), "<missing>");
    ui.fileAnswers.clear();
  }
}

TEST_F(ProgramWriterCommandTest, TakesItsOptionsFromTheWindowAndTheSettings) {
  WriteSettings("[POSE]\nSYNCHRO_REGISTOR=4096\nWAIT_SYNCHRO_TIME=7\n");
  StartBare(3);
  PoseAt(1).flags |= kStartSynchronised;
  PoseAt(1).startTime = 30;
  ui.SetText(ctl::kLoopCount, "3");
  ui.SetChecked(ctl::kBackAndForth, true);
  ASSERT_TRUE(Write(folder.Path("MOTION.KM4")));

  // The motion as the editor was taken into it, with the window's loop.
  Motion looped = document->motion;
  looped.loopCount = 3;
  looped.backAndForth = true;
  const std::string written = folder.Read("MOTION.KM4");
  EXPECT_EQ(written, Program(looped, {.synchroRegister = 4096, .waitSynchroTime = 7}));
  EXPECT_NE(written.find("<mem_w size=\"4\" adr=\"0x1000\"/>"), std::string::npos);
  EXPECT_NE(written.find("<wait data=\"0007\"/>"), std::string::npos);
}

TEST_F(ProgramWriterCommandTest, PerPostureRefusalsTouchNoFile) {
  const struct {
    const char* loopCount;
    const char* firstLabel;
    int message;
  } cases[] = {
      {"2", "ポーズ1", kMsgLoopPerPosture},
      {"1", "立ち姿勢 ポーズ1", kMsgAlreadyPerPosture},
      {"1", "立ち", kMsgAlreadyPerPosture},
      {"1", "座り姿勢 ポーズ1", kMsgProgramWritten},
  };
  for (const auto& c : cases) {
    ui.shown.clear();
    StartBare(1);
    PoseAt(0).label = Sjis(c.firstLabel);
    ui.SetText(ctl::kLoopCount, c.loopCount);
    const bool written = Write(folder.Path("MOTION.KM4"), true);
    EXPECT_THAT(ui.shownIds(), ElementsAre(c.message)) << c.firstLabel;
    EXPECT_EQ(written, c.message == kMsgProgramWritten) << c.firstLabel;
    if (!written) {
      EXPECT_EQ(Files(), std::set<std::string>{}) << c.firstLabel;
      EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
    }
  }
  EXPECT_NE(folder.Read("MOTION.KM4").find("KAZO POSE CHECK"), std::string::npos);
}

TEST_F(ProgramWriterCommandTest, SynchronisedPerPostureLeavesNoTraceOnDisk) {
  StartBare(2);
  PoseAt(1).flags |= kStartSynchronised;
  folder.Write("OLD.KM4", "previous program");
  for (const char* name : {"NEW.KM4", "OLD.KM4"}) {
    ui.shown.clear();
    EXPECT_FALSE(Write(folder.Path(name), true)) << name;
    EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSynchronisedPerPosture)) << name;
  }
  EXPECT_EQ(Files(), std::set<std::string>{"OLD.KM4"});
  EXPECT_EQ(folder.Read("OLD.KM4"), "previous program");
  EXPECT_EQ(RememberedPath(), "<none>");
}

TEST_F(ProgramWriterCommandTest, AFileThatCannotBeWrittenIsReported) {
  StartBare(1);
  EXPECT_FALSE(Write(folder.Path("no such folder/MOTION.KM4")));
  ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgProgramWriteFailed));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
  EXPECT_EQ(RememberedPath(), "<none>");
}

TEST_F(ProgramWriterCommandTest, StopsSilentlyWhenTheStepsBeforeWritingGiveUp) {
  enum Step { kCancel, kShortTravelTime, kNoStandardValues };
  const struct {
    Step step;
    std::vector<int> shown;
  } cases[] = {
      {kCancel, {}},
      {kShortTravelTime, {kMsgTravelTimeTooShort}},
      {kNoStandardValues, {kMsgSetupNotLoaded}},  // its file dialog cancelled
  };
  for (const auto& c : cases) {
    ui.shown.clear();
    StartBare(1);
    if (c.step == kCancel) ui.fileAnswers.push_back(std::nullopt);
    if (c.step != kCancel) ui.fileAnswers.push_back(FileDialogAnswer{folder.Path("M.KM4"), false});
    if (c.step == kShortTravelTime) ui.SetText(ctl::kTravelTime, "10");
    if (c.step == kNoStandardValues) {
      document->standardValues.reset();
      ui.fileAnswers.push_back(std::nullopt);
    }
    EXPECT_FALSE(WriteMotionProgram(*document, editor)) << c.step;
    EXPECT_EQ(ui.shownIds(), c.shown) << c.step;
    EXPECT_EQ(Files(), std::set<std::string>{}) << c.step;
  }
}

TEST_F(ProgramWriterCommandTest, ModelTwoAsksForABinaryProgram) {
  WriteSettings("[GENERAL]\nKAZO_MODEL=2\n");
  StartBare(1);
  EXPECT_FALSE(Write(folder.Path("STARTUP.BIN")));
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].filter, Sjis("バイナリプログラム|*.BIN||"));
  EXPECT_EQ(ui.fileRequests[0].defaultExtension, "BIN");
  EXPECT_THAT(ui.fileRequests[0].optionText, IsEmpty());
  EXPECT_TRUE(ui.fileRequests[0].overwritePrompt);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgBinaryReadFailed));
  EXPECT_EQ(Files(), std::set<std::string>{"KZMotion.ini"});
}

// Reading a program through the scripted window.
class ProgramReaderCommandTest : public EditorFixture {
 protected:
  // Standard value k is 10 * k; the start sound setting is empty unless given.
  void StartReader(const std::string& startSound = "", const std::string& poseSettings = "") {
    WriteSettings("[SOUND]\nSTART_SOUND=" + startSound + "\n[POSE]\nLOOP_COUNT=4\n" + poseSettings);
    StartWithPoses(3);
    document->standardValues = TenTimesK();
  }

  static StandardValues TenTimesK() {
    StandardValues values{};
    for (std::size_t k = 0; k < kServoCount; ++k) values[k] = static_cast<int>(10 * k);
    return values;
  }

  bool Read(const std::string& program) {
    return ReadMotionProgram(*document, editor, folder.Write("MOTION.KM4", program));
  }

  const Pose& PoseAt(int i) const { return document->motion.poses[static_cast<std::size_t>(i)]; }
};

TEST_F(ProgramReaderCommandTest, ThePosesReplaceTheMotionAndEachSoundIsOffered) {
  StartReader();
  document->motion.startSound = "stale";
  ui.SetText(ctl::kLoopCount, "9");
  const std::string firstName = SystemText("立ち姿勢 ポーズ1");
  const std::string program = kProgramHeader + SoundGroup("START", "voice\\303.wav") +
                              PoseGroup(firstName, PoseArray().Servo(3, "0x0007"), "45") +
                              PoseGroup("second", PoseArray().Servo(0, "0xff9c"), "0x001e") +
                              SoundGroup("END", "voice\\END.wav") + kProgramEnd;
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
  EXPECT_EQ(PoseAt(0).label, firstName);
  EXPECT_EQ(document->motion.poses,
            ParseProgramText(program, TenTimesK(), document->maxPose).poses);
}

TEST_F(ProgramReaderCommandTest, ASoundOfferedWhileTheStartSoundIsSetBecomesTheEndSound) {
  StartReader("voice\\1.wav");
  ui.answers = {Button::kYes};
  ASSERT_TRUE(Read(kProgramHeader + SoundGroup("START", "voice\\2.wav") +
                   PoseGroup("p", PoseArray(), "60") + kProgramEnd));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgUseAsEndSound));
  EXPECT_EQ(document->motion.startSound, "voice\\1.wav");
  EXPECT_EQ(document->motion.endSound, "voice\\2.wav");
}

// What is no motion program changes nothing: not the poses, not the start
// and end processing, not the loop settings; no sound is offered.
TEST_F(ProgramReaderCommandTest, AFileThatIsNoProgramIsRefusedAndChangesNothing) {
  const std::string pose = PoseGroup("walk", PoseArray(), "60");
  const std::string sound = SoundGroup("START", "voice\\1.wav");
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"a program without any pose array", kProgramHeader + sound + kProgramEnd},
      {"an empty file", ""},
      {"a NUL byte before a pose",
       kProgramHeader + sound + std::string(1, '\0') + pose + kProgramEnd},
      {"a NUL byte after the poses", kProgramHeader + pose + pose + std::string("\x01\0\xff", 3)},
      {"binary bytes", std::string("\x12\x34\0\0\x80\xff<mem_w", 12)},
      {"an incomplete array", kArrayHead + "\t0x0000,0x0064,\r\n"},
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

TEST_F(ProgramReaderCommandTest, AnUnreadableFileShowsMessage125AndKeepsThePoses) {
  StartReader();
  EXPECT_FALSE(ReadMotionProgram(*document, editor, folder.Path("missing.KM4")));
  EXPECT_FALSE(ReadMotionProgram(*document, editor, folder.path()));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramReadFailed, kMsgProgramReadFailed));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
  EXPECT_EQ(document->poseCount(), 3);
}

TEST_F(ProgramReaderCommandTest, WithoutStandardValuesNothingIsRead) {
  WriteSettings("");
  StartWithPoses(2);
  ui.fileAnswers.push_back(std::nullopt);  // the user cancels choosing a setup file
  EXPECT_FALSE(ReadMotionProgram(*document, editor, folder.Write("M.KM4", kProgramHeader)));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSetupNotLoaded));
  EXPECT_EQ(document->poseCount(), 2);
}

TEST_F(ProgramReaderCommandTest, PosesBeyondTheLimitAreLeftOutAndTheUserIsTold) {
  StartReader("", "MAX_POSE=2\n");
  std::string program = kProgramHeader;
  for (const char* name : {"one", "two", "three", "four"})
    program += PoseGroup(name, PoseArray(), "60");
  program += SoundGroup("END", "voice\\end.wav") + kProgramEnd;
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

// Written by the one command and read by the other, with the window's
// default start and end sounds.
TEST_F(ProgramReaderCommandTest, AWrittenProgramReadsBackThroughTheCommands) {
  StartWithPoses(3);
  document->standardValues = TenTimesK();
  const std::vector<Pose> written = document->motion.poses;
  const std::string program = folder.Path("walk.KM4");
  ui.fileAnswers.push_back(FileDialogAnswer{program, false});
  ASSERT_TRUE(WriteMotionProgram(*document, editor));
  ui.answers = {Button::kNo, Button::kNo};
  ASSERT_TRUE(ReadMotionProgram(*document, editor, program));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramWritten, kMsgUseAsEndSound, kMsgUseAsEndSound));
  ASSERT_EQ(document->poseCount(), 3);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(document->motion.poses[i].label, written[i].label);
    EXPECT_EQ(document->motion.poses[i].servo, written[i].servo);
  }
}

}  // namespace
}  // namespace kz::testing
