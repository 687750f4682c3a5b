// Capture: reading the robot's CAPTURE.LOG and taking its servo values.
#include "link/capture.h"

#include <gmock/gmock.h>

#include "commands/capture_commands.h"

#include <filesystem>

#include "fakes/editor_fixture.h"
#include "kzcard/card_server.h"
#include "link/records.h"
#include "platform/card_io.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

TEST(CardIo, SectorReadGivesTheFirstSectorOfTheFile) {
  TempFolder folder;
  std::string bytes;
  for (int i = 0; i < 600; ++i) bytes += static_cast<char>(i * 7);
  for (const SectorRead mode : {SectorRead::kDirect, SectorRead::kDropCache}) {
    for (const std::size_t size : {0u, 128u, 600u}) {
      const std::string path = folder.Write("CAPTURE.LOG", bytes.substr(0, size));
      EXPECT_EQ(ReadCardSector(path, mode), bytes.substr(0, std::min<std::size_t>(size, 512)))
          << size << " bytes, mode " << static_cast<int>(mode);
    }
  }
  EXPECT_FALSE(ReadCardSector(folder.Path("missing.LOG")));
}

class CaptureTest : public EditorFixture {
 protected:
  void SetUp() override {
    fs::create_directories(folder.Path("card/ADDON"));
    WriteSettings("[REMOTE]\nFOLDER_DIRECTORY=" + folder.Path("card/") + "\n");
  }
  // A capture with servo k at 1000 + k, servo 0 at `first`.
  void WriteCapture(std::uint16_t state = kCaptureTaken, std::int16_t first = 1000) {
    std::array<std::int16_t, kServoCount> servos{};
    for (int k = 0; k < kServoCount; ++k)
      servos[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(1000 + k);
    servos[0] = first;
    folder.Write("card/ADDON/CAPTURE.LOG", CaptureRecord(servos, state));
  }
  int Field(int k) const { return ui.ReadNumber(ctl::ServoField(k)); }

  // A document without a window: `count` poses, servo k of pose i at
  // 100 * i + k, travel time 40, the last one synchronised.
  void StartWithoutWindow(int count) {
    document = std::make_unique<MotionDocument>(SettingsPath());
    LoadEditorSettings(*document);
    for (int i = 0; i < count; ++i) {
      Pose pose = NewPose(*document);
      for (int k = 0; k < kServoCount; ++k) pose.servo[k] = static_cast<std::int16_t>(100 * i + k);
      pose.travelTime = 40;
      pose.label = SystemText("ポーズ" + std::to_string(i + 1));
      document->motion.poses.push_back(pose);
    }
    if (count > 0) {
      document->motion.poses.back().flags |= kStartSynchronised;
      document->motion.poses.back().startTime = 9;
    }
  }
};

TEST_F(CaptureTest, ServoValuesGoIntoTheEditorOnceTheRobotHasCaptured) {
  const struct {
    std::uint16_t state;  // byte 0, byte 1 << 8
    bool taken;
  } cases[] = {{0x0000, false}, {0x0001, false}, {0x0100, true}, {0x0002, true}};
  for (const auto& c : cases) {
    StartWithPoses(2);  // the first pose shown: no question
    ui.shown.clear();
    WriteCapture(c.state);
    EXPECT_EQ(CapturePose(*document, editor), c.taken) << c.state;
    if (c.taken) {
      EXPECT_THAT(ui.shown, IsEmpty());
      EXPECT_EQ(Field(0), 1000);
      EXPECT_EQ(Field(19), 1019);
      EXPECT_EQ(document->motion.poses[0].servo[0], 0) << "the pose takes them at the next commit";
      EXPECT_TRUE(document->modified);
    } else {
      EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgNothingCaptured)) << c.state;
      EXPECT_EQ(Field(0), 0);
      EXPECT_FALSE(document->modified);
    }
  }
}

TEST_F(CaptureTest, ValuesOutOfRangeLeaveTheirFieldButLandInAFirstPose) {
  StartWithPoses(2);
  for (const std::int16_t value : {1500, -1500, 1501, -1501}) {
    ui.WriteNumber(ctl::ServoField(0), 7);
    WriteCapture(kCaptureTaken, value);
    ASSERT_TRUE(CapturePose(*document, editor));
    EXPECT_EQ(Field(0), value == 1500 || value == -1500 ? value : 7) << value;
    EXPECT_EQ(Field(1), 1001);
  }

  Start();  // an empty motion
  WriteCapture(kCaptureTaken, -1501);
  ui.answers = {Button::kYes};
  ASSERT_TRUE(CapturePose(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgAddCapturedPose));
  ASSERT_EQ(document->poseCount(), 1);
  const Pose& pose = document->motion.poses[0];
  EXPECT_EQ(pose.servo[0], -1501);
  EXPECT_EQ(pose.servo[19], 1019);
  EXPECT_EQ(pose.travelTime, 60);
  EXPECT_EQ(pose.flags, kBrightnessLimit);
  EXPECT_EQ(pose.leftEye, document->defaultLedColor);
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1"));
  EXPECT_EQ(document->currentPose, 0);
  EXPECT_EQ(Field(19), 1019) << "shown";
  EXPECT_TRUE(ui.IsEnabled(ctl::kAddPose));
  EXPECT_TRUE(document->modified);
}

TEST_F(CaptureTest, AnEmptyMotionAsksBeforeCreatingAPose) {
  Start();
  WriteCapture();
  ui.answers = {Button::kNo};
  EXPECT_FALSE(CapturePose(*document, editor));
  EXPECT_EQ(document->poseCount(), 0);
  EXPECT_FALSE(document->modified);
}

TEST_F(CaptureTest, TheLastPoseShownAsksWhetherToAddOrReplace) {
  for (const Button answer : {Button::kYes, Button::kNo}) {
    StartWithPoses(2);
    ui.SelectTab(ctl::kPoseTabs, 1);
    ASSERT_TRUE(CommitEditor(*document, editor));
    ui.shown.clear();
    WriteCapture();
    ui.answers = {answer};
    ASSERT_TRUE(CapturePose(*document, editor));
    EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgAddCapturedPoseOrReplace));
    EXPECT_EQ(ui.shown[0].kind, BoxKind::kYesNoQuestion);
    if (answer == Button::kYes) {
      EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "ポーズ2", "ポーズ3"));
      EXPECT_EQ(document->currentPose, 2);
    } else {
      EXPECT_EQ(document->poseCount(), 2);
      EXPECT_EQ(document->currentPose, 1);
    }
    EXPECT_EQ(Field(0), 1000) << "in the editor of the pose now shown";
    ASSERT_TRUE(CommitEditor(*document, editor));
    EXPECT_EQ(document->current().servo[0], 1000);
    EXPECT_EQ(document->motion.poses[1].servo[0], answer == Button::kYes ? 100 : 1000);
  }
}

TEST_F(CaptureTest, AFileThatIsNotOneRecordIsNotRead) {
  StartWithPoses(1);
  const std::string cases[] = {"", std::string(127, '\2'), std::string(129, '\2'),
                               std::string(600, '\2')};
  for (const std::string& contents : cases) {
    folder.Write("card/ADDON/CAPTURE.LOG", contents);
    ui.shown.clear();
    EXPECT_FALSE(CapturePose(*document, editor)) << contents.size();
    EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgCaptureReadFailed)) << contents.size();
  }
  fs::remove(folder.Path("card/ADDON/CAPTURE.LOG"));
  fs::create_directory(folder.Path("card/ADDON/CAPTURE.LOG"));
  ui.shown.clear();
  EXPECT_FALSE(CapturePose(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgCaptureReadFailed));
  EXPECT_EQ(Field(0), 0);
  EXPECT_FALSE(document->modified);
}

TEST_F(CaptureTest, OverFlashAirTheRecordIsDownloaded) {
  card::CardServer server(folder.Path("card"));
  const int port = server.Start();
  ASSERT_NE(port, 0);
  StartWithPoses(2);  // the first pose shown: no question
  document->useFlashAir = true;
  document->flashAirHost = "127.0.0.1:" + std::to_string(port);

  WriteCapture();
  ASSERT_TRUE(CapturePose(*document, editor));
  EXPECT_EQ(Field(0), 1000);
  EXPECT_THAT(ui.shown, IsEmpty());

  // A file that is not one whole record, or none at all, is reported like
  // one on the card drive.
  folder.Write("card/ADDON/CAPTURE.LOG", std::string(100, '\2'));
  EXPECT_FALSE(CapturePose(*document, editor));
  folder.Write("card/ADDON/CAPTURE.LOG", std::string(129, '\2'));  // not cut to look right
  EXPECT_FALSE(CapturePose(*document, editor));
  fs::remove(folder.Path("card/ADDON/CAPTURE.LOG"));
  EXPECT_FALSE(CapturePose(*document, editor));
  EXPECT_THAT(ui.shownIds(),
              ElementsAre(kMsgCaptureReadFailed, kMsgCaptureReadFailed, kMsgCaptureReadFailed));
  EXPECT_EQ(Field(0), 1000) << "the field keeps the capture taken before";

  // The transport's own message is enough when the card does not answer.
  ui.shown.clear();
  server.Stop();
  EXPECT_FALSE(CapturePose(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgFlashAirFailed));
}

TEST_F(CaptureTest, WithoutAWindowTheCaptureBecomesANewLastPose) {
  // After existing poses: a copy of the last one with the values that fit.
  StartWithoutWindow(2);
  WriteCapture(kCaptureTaken, 1501);
  ASSERT_TRUE(AppendCapturedPose(*document, ui));
  EXPECT_THAT(ui.shown, IsEmpty()) << "no question";
  ASSERT_EQ(document->poseCount(), 3);
  EXPECT_EQ(document->currentPose, 2);
  const Pose& added = document->motion.poses[2];
  EXPECT_EQ(LabelOf(2), "ポーズ3");
  EXPECT_EQ(added.servo[0], 100) << "1501 does not fit: the copied value stays";
  EXPECT_EQ(added.servo[1], 1001);
  EXPECT_EQ(added.servo[19], 1019);
  EXPECT_EQ(added.travelTime, 40);
  EXPECT_EQ(added.flags & kStartSynchronised, 0u);
  EXPECT_EQ(added.startTime, 0);
  EXPECT_EQ(document->motion.poses[1].servo[1], 101) << "the last pose is kept";
  EXPECT_TRUE(document->modified);

  // An empty motion: a new pose with the values as measured.
  StartWithoutWindow(0);
  WriteCapture(kCaptureTaken, -1501);
  ASSERT_TRUE(AppendCapturedPose(*document, ui));
  ASSERT_EQ(document->poseCount(), 1);
  EXPECT_EQ(document->currentPose, 0);
  const Pose& first = document->motion.poses[0];
  EXPECT_EQ(LabelOf(0), "ポーズ1");
  EXPECT_EQ(first.servo[0], -1501);
  EXPECT_EQ(first.servo[19], 1019);
  EXPECT_EQ(first.travelTime, 60);
  EXPECT_EQ(first.flags, kBrightnessLimit);
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(CaptureTest, WithoutAWindowARefusedCaptureLeavesTheMotionAsItWas) {
  const struct {
    const char* what;
    std::string settings;  // after the card folder
    int poses;
    std::uint16_t state;
    int travelTime;  // of the poses there are
    std::vector<int> shown;
  } cases[] = {
      {"nothing captured", "", 2, 1, 40, {kMsgNothingCaptured}},
      {"the motion is full", "[POSE]\nMAX_POSE=2\n", 2, kCaptureTaken, 40, {kMsgPoseListFull}},
      {"no room for a first pose", "[POSE]\nMAX_POSE=0\n", 0, kCaptureTaken, 40,
       {kMsgPoseListFull}},
      {"the copy's travel time", "", 2, kCaptureTaken, 19, {kMsgTravelTimeTooShort}},
      {"the default travel time", "[POSE]\nPOSE_TIME=19\n", 0, kCaptureTaken, 40,
       {kMsgTravelTimeTooShort}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSettings("[REMOTE]\nFOLDER_DIRECTORY=" + folder.Path("card/") + "\n" + c.settings);
    StartWithoutWindow(c.poses);
    for (Pose& pose : document->motion.poses) pose.travelTime = c.travelTime;
    const auto before = document->motion.poses;
    ui.shown.clear();
    WriteCapture(c.state);
    EXPECT_FALSE(AppendCapturedPose(*document, ui));
    EXPECT_THAT(ui.shownIds(), ::testing::ElementsAreArray(c.shown));
    EXPECT_EQ(document->poseCount(), c.poses);
    for (std::size_t i = 0; i < before.size(); ++i)
      EXPECT_EQ(document->motion.poses[i].servo, before[i].servo) << i;
    EXPECT_FALSE(document->modified);
  }

  // Without the speed check a short travel time is taken.
  WriteSettings("[REMOTE]\nFOLDER_DIRECTORY=" + folder.Path("card/") +
                "\n[POSE]\nSPEED_CHECK=0\nPOSE_TIME=1\n");
  StartWithoutWindow(0);
  WriteCapture();
  EXPECT_TRUE(AppendCapturedPose(*document, ui));
  EXPECT_EQ(document->motion.poses[0].travelTime, 1);
}

}  // namespace
}  // namespace kz::testing
