// The binary program of the second model: instruction bytes against
// hand-computed bytes, the dispatch search on small images, and the write
// command against the scripted window and real files.
#include "formats/binary_program.h"

#include <gmock/gmock.h>
#include <sys/resource.h>

#include <csignal>

#include "commands/program_commands.h"
#include "dialogs/ninshiki_dlg.h"
#include "fakes/editor_fixture.h"
#include "formats/recognition_words.h"
#include "model/settings.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int value : values) out += static_cast<char>(value);
  return out;
}

std::string Repeat(const std::string& bytes, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += bytes;
  return out;
}

const std::string kEnd = Bytes({0x83, 0, 0, 0, 0, 0, 0, 0});
const std::string kTorqueOn = Bytes({0xC0, 0xC4, 1, 0, 0, 0, 0xCD, 0x48, 0, 0, 0});
const std::string kTorqueOff = Bytes({0xC0, 0xC4, 0, 0, 0, 0, 0xCD, 0x48, 0, 0, 0});

// A document with nothing around its poses: no sounds, waits or torque.
class BinaryProgramTest : public EditorFixture {
 protected:
  void StartBare(int poses) {
    StartWithPoses(poses);
    document->motion.startSound.clear();
    document->motion.endSound.clear();
    document->motion.startWait = 0;
    document->motion.endWait = 0;
    document->standardValues = StandardValues{};
    for (Pose& pose : document->motion.poses) {
      pose.servo.fill(0);
      pose.travelTime = 60;
      pose.holdTime = 0;
      pose.leftEye = pose.rightEye = 0;
      pose.mouth = 0;
      pose.flags = 0;
    }
  }

  std::string PoseBytes(int index) const {
    std::string out;
    EncodeBinaryPose(*document, index, out);
    return out;
  }

  std::string Program(int loopCount = 1, bool backAndForth = false, std::uint32_t base = 0) const {
    return BuildBinaryProgram(*document, {loopCount, backAndForth}, base).value_or("<refused>");
  }
};

TEST_F(BinaryProgramTest, OnePoseIsItsArrayItsMoveAndTheEnd) {
  StartBare(1);
  Pose& pose = document->motion.poses[0];
  pose.servo[0] = -1;
  pose.servo[1] = 300;
  (*document->standardValues)[1] = 44;
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
  EXPECT_EQ(EncodeBinaryPose(*document, 0, out), 147u);
  EXPECT_EQ(out, "x" + expected) << "appended to what is there";

  folder.Write("NEW.BIN", "an older, longer file that the new image replaces");
  ASSERT_TRUE(WriteBinaryProgram(*document, editor, folder.Path("NEW.BIN"), 0, {}));
  EXPECT_EQ(folder.Read("NEW.BIN"), expected + kEnd);
  EXPECT_THAT(ui.shown, IsEmpty()) << "a program of its own is written silently";
}

TEST_F(BinaryProgramTest, TorqueAndTheBrightnessLimitShapeThePoseArray) {
  StartBare(1);
  document->programTorque = 0x1234;
  document->motion.poses[0].leftEye = 0x000080FF;
  document->motion.poses[0].mouth = 255;
  document->motion.poses[0].flags = kBrightnessLimit;
  const std::string pose = PoseBytes(0);
  EXPECT_EQ(pose.substr(10, 4), Bytes({0, 0, 0x34, 0x12}));
  EXPECT_EQ(pose.substr(118, 14), Bytes({50, 0, 25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50, 0}));
}

TEST_F(BinaryProgramTest, AHoldTimeTakesTheSmallestWait) {
  StartBare(1);
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
    document->motion.poses[0].holdTime = c.hold;
    std::string out;
    EXPECT_EQ(EncodeBinaryPose(*document, 0, out), 147 + c.wait.size()) << c.hold;
    EXPECT_EQ(out.substr(147), c.wait) << c.hold;
  }
}

TEST_F(BinaryProgramTest, AStartSoundStoresItsNameAndStartsThePlayer) {
  StartBare(1);
  document->motion.startSound = "voice\\303.wav";
  const std::string sound = Bytes({0x90, 0x00, 0x04, 0x00, 0x00, 0x0E}) + "voice\\303.wav" +
                            Bytes({0x00, 0x90, 0xE0, 0x01, 0x00, 0x00, 0x01, 0x01});
  ASSERT_EQ(sound.size(), 27u);
  EXPECT_EQ(Program(), sound + PoseBytes(0) + kEnd);
}

TEST_F(BinaryProgramTest, StartAndEndProcessingSurroundTheMotion) {
  StartBare(2);
  document->motion.startTorqueOn = 1;
  document->motion.startWait = 300;
  document->motion.endWait = 100;
  document->motion.endTorqueOff = 1;
  EXPECT_EQ(Program(1, true), kTorqueOn + Bytes({0x89, 0x2C, 0x01}) + PoseBytes(0) + PoseBytes(1) +
                                  PoseBytes(0) + Bytes({0x88, 0x64}) + kTorqueOff + kEnd)
      << "back and forth replays the poses before the last";
}

TEST_F(BinaryProgramTest, ALoopCountsDownAndJumpsBackIntoTheNewImage) {
  StartBare(1);
  ASSERT_TRUE(WriteBinaryProgram(*document, editor, folder.Path("TEMP.BIN"), 0, {3, false}));
  const std::string loopSet = Bytes({0xC0, 0xC4, 0x03, 0x00, 0x00, 0x00, 0xCD, 0xF0, 0x0E, 0, 0});
  const std::string countDown = Bytes({0xC0, 0xC9, 0xF0, 0x0E, 0x00, 0x00, 0xC4, 0x01, 0x00, 0x00,
                                       0x00, 0xD1, 0xCD, 0xF0, 0x0E, 0x00, 0x00});
  const std::string loopCheck = Bytes({0xC0, 0xC9, 0xF0, 0x0E, 0x00, 0x00, 0xC4, 0x00, 0x00, 0x00,
                                       0x00, 0xD1, 0xDA, 0xE0, 0x0B, 0x00, 0x42, 0x00});
  EXPECT_EQ(folder.Read("TEMP.BIN"), loopSet + countDown + PoseBytes(0) + loopCheck + kEnd);

  document->motion.startWait = 100;  // the loop now begins 2 bytes in
  EXPECT_EQ(Program(2, false, 0x1000).substr(2 + 28 + 147 + 13, 5),
            Bytes({0xE0, 0x0D, 0x10, 0x00, 0x00}))
      << "the jump names the count-down's robot address";
}

TEST_F(BinaryProgramTest, AnEndSoundWithoutAWaitOffersTwoSeconds) {
  const struct {
    Button answer;
    std::int32_t endWait;
    std::string wait;
  } cases[] = {{Button::kYes, 120, Bytes({0x88, 0x78})}, {Button::kNo, 0, ""}};
  for (const auto& c : cases) {
    StartBare(1);
    document->motion.endSound = "voice\\Y153.wav";
    ui.shown.clear();
    ui.answers = {c.answer};
    ASSERT_TRUE(WriteBinaryProgram(*document, editor, folder.Path("TEMP.BIN"), 0, {}));
    ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgEndSoundNeedsWait));
    EXPECT_EQ(ui.shown[0].kind, BoxKind::kYesNoQuestion);
    EXPECT_EQ(document->motion.endWait, c.endWait);
    const std::string sound = Bytes({0x90, 0x00, 0x04, 0x00, 0x00, 0x0F}) + "voice\\Y153.wav" +
                              Bytes({0x00, 0x90, 0xE0, 0x01, 0x00, 0x00, 0x01, 0x01});
    EXPECT_EQ(folder.Read("TEMP.BIN"), PoseBytes(0) + sound + c.wait + kEnd);
  }
}

TEST_F(BinaryProgramTest, AnExistingImageIsWrittenFromItsOffsetAndKeepsTheRest) {
  StartBare(1);
  folder.Write("STARTUP.BIN", std::string(400, '\xAA'));
  ASSERT_TRUE(WriteBinaryProgram(*document, editor, folder.Path("STARTUP.BIN"), 16, {2, false}));
  const std::string image = folder.Read("STARTUP.BIN");
  const std::string program = Program(2, false, 16);
  ASSERT_EQ(image.size(), 400u);
  EXPECT_EQ(image.substr(0, 16), std::string(16, '\xAA'));
  EXPECT_EQ(image.substr(16, program.size()), program);
  EXPECT_EQ(image.substr(16 + program.size()), std::string(400 - 16 - program.size(), '\xAA'));
  EXPECT_EQ(program.substr(program.size() - 8 - 5, 5), Bytes({0xE0, 0x1B, 0, 0, 0}));
  EXPECT_THAT(ui.shown, IsEmpty());

  EXPECT_FALSE(WriteBinaryProgram(*document, editor, folder.Path("NONE.BIN"), 16, {}));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramWriteFailed));
  EXPECT_EQ(folder.Read("NONE.BIN"), "<missing>") << "an image is never made up";
}

// A 0x30000-byte image whose dispatch calculation for `number` sits at
// `calc` (the offset of its jump target) and points at `target`.
std::string DispatchImage(int number, std::size_t calc, std::uint32_t target) {
  std::string image(0x30000, '\0');
  const std::string entry = Bytes({0xC0, 0xC9, 0x10, 0x02, 0x00, 0x00, 0xC4, number & 0xFF,
                                   number >> 8, 0x00, 0x00, 0xD1, 0xD9, 0xE0});
  image.replace(calc - entry.size(), entry.size(), entry);
  image.replace(calc, 4,
                Bytes({static_cast<int>(target & 0xFF), static_cast<int>(target >> 8 & 0xFF),
                       static_cast<int>(target >> 16 & 0xFF), static_cast<int>(target >> 24)}));
  return image;
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

class DispatchTest : public BinaryProgramTest {
 protected:
  void SetUp() override {
    WriteSettings("[GENERAL]\nKAZO_MODEL=2\n");
    folder.Write("Ninshiki.csv", "flags,word,a,b,number,c,d\n32,hello,a,b,23,c,d\n");
    StartBare(2);
    image = DispatchImage(23, 0x28100, 0x1000);
    image[0x100A] = '\x82';
    folder.Write("STARTUP.BIN", image);
  }

  std::string ImagePath() const { return folder.Path("STARTUP.BIN"); }
  Settings settings() const { return Settings(SettingsPath()); }

  std::string image;
};

TEST_F(DispatchTest, TheWriteCommandAppendsTheProgramAndPointsTheEntryAtIt) {
  document->modified = true;
  ui.fileAnswers.push_back(FileDialogAnswer{ImagePath(), true});
  ui.modalCommands = {kIdOk};
  ASSERT_TRUE(WriteMotionProgram(*document, editor));

  EXPECT_EQ(ui.fileRequests.at(0).defaultExtension, "BIN");
  EXPECT_EQ(ui.fileRequests.at(0).optionText, "") << "no per-posture box";
  EXPECT_THAT(ui.modalTemplates, ElementsAre(CNinshikiDlg::kTemplateId));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgModelTwoIgnoresPerPosture, kMsgBinaryWritten));
  EXPECT_EQ(ui.shown[1].kind, BoxKind::kOk);

  std::string expected = image;
  expected.replace(0x100B, 4, Bytes({0x00, 0x00, 0x03, 0x00}));  // the old length
  expected += Program(1, false, 0x30000);
  EXPECT_EQ(folder.Read("STARTUP.BIN"), expected);
  EXPECT_EQ(settings().ReadText("POSE", "PATH", "", 260), ImagePath());
  EXPECT_EQ(settings().ReadInt("PROGRAM", "BINARY_DISPATCH", 0), 23);
  EXPECT_FALSE(document->modified);
}

TEST_F(DispatchTest, TheLastNumberIsOfferedAndAGivenOneNeedsNoDialog) {
  image.replace(0x28100 - 7, 2, Bytes({0xD7, 0x01}));  // number 471
  folder.Write("STARTUP.BIN", image);
  WriteSettings("[PROGRAM]\nBINARY_DISPATCH=471\n");
  ui.modalCommands = {kIdOk};
  EXPECT_NE(FindDispatchEntry(*document, editor, ImagePath()), 0u);
  EXPECT_EQ(ui.modalControls.Text(ctl::kRecognitionNumber), "471");

  ui.modalTemplates.clear();
  EXPECT_EQ(FindDispatchEntry(*document, editor, ImagePath(), 471), 0x100Bu);
  EXPECT_THAT(ui.modalTemplates, IsEmpty());
}

TEST_F(DispatchTest, FailuresLeaveTheImageAlone) {
  const struct {
    const char* name;
    std::string path;
    std::deque<int> dialog;
    std::optional<int> number;
    std::vector<int> messages;
  } cases[] = {
      {"unreadable", folder.Path("NONE.BIN"), {}, std::nullopt, {kMsgBinaryReadFailed}},
      {"a folder", folder.path(), {}, std::nullopt, {kMsgBinaryReadFailed}},
      {"cancelled", ImagePath(), {kIdCancel}, std::nullopt, {}},
      {"no entry", ImagePath(), {}, 24, {kMsgNoDispatchEntry}},
  };
  for (const auto& c : cases) {
    ui.shown.clear();
    ui.modalCommands = c.dialog;
    EXPECT_FALSE(WriteBinaryProgram(*document, editor, c.path, kDispatchMode, {}, c.number))
        << c.name;
    EXPECT_EQ(ui.shownIds(), c.messages) << c.name;
    if (!ui.shown.empty() && ui.shown[0].id == kMsgNoDispatchEntry) {
      EXPECT_EQ(ui.shown[0].kind, BoxKind::kError);
    }
    EXPECT_EQ(folder.Read("STARTUP.BIN"), image) << c.name;
    EXPECT_EQ(folder.Read("NONE.BIN"), "<missing>") << c.name;
  }
  EXPECT_EQ(settings().ReadInt("PROGRAM", "BINARY_DISPATCH", 0), 0) << "nothing remembered";
  EXPECT_EQ(settings().ReadText("POSE", "PATH", "", 260), "");
}

TEST_F(DispatchTest, ASoundNameTooLongIsRefusedBeforeAnythingHappens) {
  document->motion.endSound = std::string(127, 'a');
  EXPECT_FALSE(WriteBinaryProgram(*document, editor, ImagePath(), kDispatchMode, {}));
  EXPECT_FALSE(WriteBinaryProgram(*document, editor, folder.Path("NEW.BIN"), 0, {}));
  ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgSoundNameTooLong, kMsgSoundNameTooLong));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kExclamation);
  EXPECT_THAT(ui.shown[0].args, ElementsAre(document->motion.endSound, "126"));
  EXPECT_THAT(ui.modalTemplates, IsEmpty()) << "no word is asked for";
  EXPECT_EQ(folder.Read("STARTUP.BIN"), image);
  EXPECT_EQ(folder.Read("NEW.BIN"), "<missing>");

  document->motion.endSound.pop_back();  // 126 bytes fit: counted 127 with the zero
  document->motion.endWait = 1;
  ASSERT_TRUE(WriteBinaryProgram(*document, editor, folder.Path("NEW.BIN"), 0, {}));
  EXPECT_EQ(folder.Read("NEW.BIN").substr(147 * 2 + 5, 2), Bytes({0x7F, 'a'}));
}

TEST_F(DispatchTest, ASoundNameNoProgramCanCarryIsRefusedBeforeAnythingHappens) {
  for (const char* name : {"a\"b.wav", "<b>.wav", "c>.wav"}) {
    SCOPED_TRACE(name);
    ui.shown.clear();
    document->motion.startSound = name;
    EXPECT_FALSE(WriteBinaryProgram(*document, editor, ImagePath(), kDispatchMode, {}));
    EXPECT_FALSE(WriteBinaryProgram(*document, editor, folder.Path("NEW.BIN"), 0, {}));
    ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgSoundNameUnfit, kMsgSoundNameUnfit));
    EXPECT_THAT(ui.shown[0].args, ElementsAre(name));
    EXPECT_THAT(ui.modalTemplates, IsEmpty()) << "no word is asked for";
    EXPECT_EQ(folder.Read("STARTUP.BIN"), image);
    EXPECT_EQ(folder.Read("NEW.BIN"), "<missing>");
  }
}

// Lets writes reach only `bytes` into any file, as a full card would; a
// write past it fails instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

TEST_F(DispatchTest, AFailedAppendNeverPointsTheEntryIntoIt) {
  {
    FileSizeLimit full(0x30000 + 100);  // less than the program
    EXPECT_FALSE(WriteBinaryProgram(*document, editor, ImagePath(), kDispatchMode, {}, 23));
  }
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramWriteFailed));
  EXPECT_EQ(folder.Read("STARTUP.BIN"), image) << "entry untouched, the part appended cut off";
  EXPECT_EQ(settings().ReadText("POSE", "PATH", "", 260), "");
}

}  // namespace
}  // namespace kz::testing
