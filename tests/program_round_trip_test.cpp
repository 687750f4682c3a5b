// A motion written as a program and read back.
#include <gmock/gmock.h>

#include "fakes/editor_fixture.h"
#include "formats/program_reader.h"
#include "formats/program_writer.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

class ProgramRoundTripTest : public EditorFixture {};

TEST_F(ProgramRoundTripTest, PosesComeBackWithTheirLabelsServosAndTravelTimes) {
  StartWithPoses(3);
  StandardValues standard{};
  for (int k = 0; k < kServoCount; ++k) standard[static_cast<std::size_t>(k)] = 50 - 10 * k;
  document->standardValues = standard;
  for (Pose& pose : document->motion.poses) {
    pose.holdTime = 30;
    pose.leftEye = 0x0080FF;  // red 255, green 128
    pose.rightEye = 0x320000;
    pose.mouth = 255;
  }
  document->motion.poses[1].travelTime = 45;
  document->motion.poses[2].flags = 0;  // no brightness limit: the bytes are written whole
  document->motion.poses[2].leftEye = 0x000032;
  const std::vector<Pose> written = document->motion.poses;

  const std::string program = folder.Path("walk.KM4");
  ui.fileAnswers.push_back(FileDialogAnswer{program, false});
  ASSERT_TRUE(WriteMotionProgram(*document, editor));
  ui.answers = {Button::kNo, Button::kNo};  // the default start and end sounds
  ASSERT_TRUE(ReadMotionProgram(*document, editor, program));
  EXPECT_THAT(ui.shownIds(),
              ::testing::ElementsAre(kMsgProgramWritten, kMsgUseAsEndSound, kMsgUseAsEndSound));

  ASSERT_EQ(document->poseCount(), 3);
  for (std::size_t i = 0; i < 3; ++i) {
    const Pose& read = document->motion.poses[i];
    EXPECT_EQ(read.label, written[i].label);
    EXPECT_EQ(read.servo, written[i].servo);
    EXPECT_EQ(read.travelTime, written[i].travelTime);
    EXPECT_EQ(read.holdTime, 0) << "waits are not read back";
    EXPECT_EQ(read.flags, kBrightnessLimit);
  }
  // Limited bytes come back times five, in proportion to the largest.
  EXPECT_EQ(document->motion.poses[0].leftEye, 0x007DFAu);   // 50, 25, 0 -> 250, 125, 0
  EXPECT_EQ(document->motion.poses[0].rightEye, 0x2D0000u);  // blue 50 -> 48 / 5 = 9 -> 45
  EXPECT_EQ(document->motion.poses[0].mouth, 250);
  EXPECT_EQ(document->motion.poses[2].leftEye, 0x0000FAu) << "written whole as 50, read as 250";
}

}  // namespace
}  // namespace kz::testing
