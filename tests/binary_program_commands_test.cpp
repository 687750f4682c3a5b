// The binary program write command: new images, images written from an
// offset and images patched through their dispatch entry, against the
// scripted window and real files.
#include "commands/binary_program_commands.h"

#include <gmock/gmock.h>
#include <sys/resource.h>

#include <csignal>

#include "commands/program_commands.h"
#include "dialogs/ninshiki_dlg.h"
#include "fakes/binary_image.h"
#include "fakes/editor_fixture.h"
#include "model/settings.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kEnd = Bytes({0x83, 0, 0, 0, 0, 0, 0, 0});

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
    EncodeBinaryPose(document->motion.poses[static_cast<std::size_t>(index)],
                     BinaryProgramOptionsOf(*document), out);
    return out;
  }

  // The program the codec makes of the document's motion from `base`.
  std::string Program(std::uint32_t base) const {
    return BuildBinaryProgram(document->motion, BinaryProgramOptionsOf(*document), base)
        .value_or("<refused>");
  }
};

TEST_F(BinaryProgramTest, ANewImageOfItsOwnReplacesTheFileSilently) {
  StartBare(1);
  Pose& pose = document->motion.poses[0];
  pose.servo[0] = -1;
  pose.servo[1] = 300;
  (*document->standardValues)[1] = 44;
  document->programTorque = 0x1234;

  folder.Write("NEW.BIN", "an older, longer file that the new image replaces");
  ASSERT_TRUE(WriteBinaryProgram(*document, editor, folder.Path("NEW.BIN"), 0));
  const std::string written = folder.Read("NEW.BIN");
  EXPECT_EQ(written, Program(kDirectExecBase));
  EXPECT_EQ(written.size(), 147u + kEnd.size());
  EXPECT_EQ(written.substr(10, 8), Bytes({0xFF, 0xFF, 0x34, 0x12, 0x00, 0x01, 0x34, 0x12}))
      << "the document's standard values and torque";
  EXPECT_THAT(ui.shown, IsEmpty()) << "a program of its own is written silently";
}

TEST_F(BinaryProgramTest, TheMotionsLoopCountsDownAndJumpsBackIntoTheNewImage) {
  StartBare(1);
  document->motion.loopCount = 3;
  ASSERT_TRUE(WriteBinaryProgram(*document, editor, folder.Path("TEMP.BIN"), 0));
  const std::string written = folder.Read("TEMP.BIN");
  EXPECT_EQ(written, Program(kDirectExecBase));
  EXPECT_EQ(written.substr(0, 11),
            Bytes({0xC0, 0xC4, 0x03, 0x00, 0x00, 0x00, 0xCD, 0xF0, 0x0E, 0, 0}))
      << "the counter set to the loop count";
  EXPECT_EQ(written.substr(11 + 17 + 147 + 13, 5), Bytes({0xE0, 0x0B, 0x00, 0x42, 0x00}))
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
    ASSERT_TRUE(WriteBinaryProgram(*document, editor, folder.Path("TEMP.BIN"), 0));
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
  document->motion.loopCount = 2;
  ASSERT_TRUE(WriteBinaryProgram(*document, editor, folder.Path("STARTUP.BIN"), 16));
  const std::string image = folder.Read("STARTUP.BIN");
  const std::string program = Program(16);
  ASSERT_EQ(image.size(), 400u);
  EXPECT_EQ(image.substr(0, 16), std::string(16, '\xAA'));
  EXPECT_EQ(image.substr(16, program.size()), program);
  EXPECT_EQ(image.substr(16 + program.size()), std::string(400 - 16 - program.size(), '\xAA'));
  EXPECT_EQ(program.substr(program.size() - 8 - 5, 5), Bytes({0xE0, 0x1B, 0, 0, 0}));
  EXPECT_THAT(ui.shown, IsEmpty());

  EXPECT_FALSE(WriteBinaryProgram(*document, editor, folder.Path("NONE.BIN"), 16));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramWriteFailed));
  EXPECT_EQ(folder.Read("NONE.BIN"), "<missing>") << "an image is never made up";
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
  expected += Program(0x30000);
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
    EXPECT_FALSE(WriteBinaryProgram(*document, editor, c.path, kDispatchMode, c.number)) << c.name;
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
  EXPECT_FALSE(WriteBinaryProgram(*document, editor, ImagePath(), kDispatchMode));
  EXPECT_FALSE(WriteBinaryProgram(*document, editor, folder.Path("NEW.BIN"), 0));
  ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgSoundNameTooLong, kMsgSoundNameTooLong));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kExclamation);
  EXPECT_THAT(ui.shown[0].args, ElementsAre(document->motion.endSound, "126"));
  EXPECT_THAT(ui.modalTemplates, IsEmpty()) << "no word is asked for";
  EXPECT_EQ(folder.Read("STARTUP.BIN"), image);
  EXPECT_EQ(folder.Read("NEW.BIN"), "<missing>");

  document->motion.endSound.pop_back();  // 126 bytes fit: counted 127 with the zero
  document->motion.endWait = 1;
  ASSERT_TRUE(WriteBinaryProgram(*document, editor, folder.Path("NEW.BIN"), 0));
  EXPECT_EQ(folder.Read("NEW.BIN").substr(147 * 2 + 5, 2), Bytes({0x7F, 'a'}));
}

TEST_F(DispatchTest, ASoundNameNoProgramCanCarryIsRefusedBeforeAnythingHappens) {
  for (const char* name : {"a\"b.wav", "<b>.wav", "c>.wav"}) {
    SCOPED_TRACE(name);
    ui.shown.clear();
    document->motion.startSound = name;
    EXPECT_FALSE(WriteBinaryProgram(*document, editor, ImagePath(), kDispatchMode));
    EXPECT_FALSE(WriteBinaryProgram(*document, editor, folder.Path("NEW.BIN"), 0));
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
    EXPECT_FALSE(WriteBinaryProgram(*document, editor, ImagePath(), kDispatchMode, 23));
  }
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramWriteFailed));
  EXPECT_EQ(folder.Read("STARTUP.BIN"), image) << "entry untouched, the part appended cut off";
  EXPECT_EQ(settings().ReadText("POSE", "PATH", "", 260), "");
}

}  // namespace
}  // namespace kz::testing
