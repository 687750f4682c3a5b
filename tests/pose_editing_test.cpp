// Adding, deleting, swapping, the origin pose, mirroring and start-time
// synchronisation.
#include "model/pose_editing.h"

#include <gmock/gmock.h>

#include "fakes/editor_fixture.h"
#include "model/pose_label.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PoseEditingTest : public EditorFixture {
 protected:
  // Standard value k is 10 * k.
  void GiveStandardValues() {
    StandardValues values{};
    for (std::size_t k = 0; k < kServoCount; ++k) values[k] = static_cast<int>(10 * k);
    document->standardValues = values;
  }
  int Field(int k) const { return ui.ReadNumber(ctl::ServoField(k)); }
};

TEST(PoseLabel, NumberedAndInsertedLabels) {
  const struct {
    const char* from;
    const char* inserted;
  } cases[] = {
      {"ポーズ3", "ポーズ3-1"},
      {"ポーズ3-1", "ポーズ3-2"},
      {"ポーズ2-9", "ポーズ2-A"},
      {"ポーズ2-A", "ポーズ2-B"},
      {"-5", "-5-1"},
      {"x", "x-1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Cp932ToUtf8(InsertedPoseLabel(SystemText(c.from))), c.inserted) << c.from;
  EXPECT_EQ(Cp932ToUtf8(NumberedPoseLabel(1)), "ポーズ1");
  EXPECT_EQ(Cp932ToUtf8(NumberedPoseLabel(1000)), "ポーズ1000") << "numbers are never cut";
}

TEST_F(PoseEditingTest, AddingAfterTheLastPoseNumbersTheNewPose) {
  StartWithPoses(3);
  ui.SelectTab(ctl::kPoseTabs, 2);
  ASSERT_TRUE(CommitEditor(*document, editor));
  ui.SetText(ctl::ServoField(0), "77");
  AddPose(*document, editor);
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "ポーズ2", "ポーズ3", "ポーズ4"));
  EXPECT_EQ(document->currentPose, 3);
  EXPECT_EQ(ui.SelectedTab(ctl::kPoseTabs), 3);
  EXPECT_EQ(document->motion.poses[2].servo[0], 77) << "the editor was committed first";
  EXPECT_EQ(document->motion.poses[3].servo[0], 77) << "the new pose is a copy";
  EXPECT_TRUE(document->modified);
}

TEST_F(PoseEditingTest, AddingInsideTheMotionDerivesTheLabelAndMovesTheRestOn) {
  StartWithPoses(3);
  Pose& first = document->motion.poses[0];
  first.flags |= kStartSynchronised;
  first.startTime = 45;
  first.reserved[4] = 9;
  first.leftEye = 3 << 16;
  AddPose(*document, editor);
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "ポーズ1-1", "ポーズ2", "ポーズ3"));
  const Pose& added = document->motion.poses[1];
  EXPECT_EQ(added.flags & kStartSynchronised, 0u) << "a copy never starts synchronised";
  EXPECT_EQ(added.startTime, 0);
  EXPECT_EQ(added.reserved[4], 9);
  EXPECT_EQ(added.leftEye, 3u << 16);
  EXPECT_EQ(document->motion.poses[2].servo[0], 100) << "ポーズ2 moved one place on";
  EXPECT_EQ(document->currentPose, 1);
  EXPECT_TRUE(ui.IsEnabled(ctl::kSwapPose));

  AddPose(*document, editor);
  EXPECT_EQ(LabelOf(2), "ポーズ1-2");
}

TEST_F(PoseEditingTest, AddingAtCapacityShowsMessage136) {
  WriteSettings("[POSE]\nMAX_POSE=2\n");
  StartWithPoses(2);
  AddPose(*document, editor);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgPoseListFull));
  EXPECT_EQ(document->poseCount(), 2);
  EXPECT_FALSE(document->modified);
}

TEST_F(PoseEditingTest, AddingStopsWhenTheTravelTimeIsRefused) {
  StartWithPoses(1);
  ui.SetText(ctl::kTravelTime, "19");
  AddPose(*document, editor);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgTravelTimeTooShort));
  EXPECT_EQ(document->poseCount(), 1);
}

TEST_F(PoseEditingTest, PoseCommandsDoNothingWithoutAPose) {
  Start();
  AddPose(*document, editor);
  DeletePose(*document, editor);
  SwapPose(*document, editor);
  EXPECT_EQ(document->poseCount(), 0);
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(PoseEditingTest, DeletingTheOnlyPoseEmptiesTheMotion) {
  StartWithPoses(1);
  document->modified = true;
  ui.SetChecked(ctl::kRemoteConnection, true);
  DeletePose(*document, editor);
  EXPECT_EQ(document->poseCount(), 0);
  EXPECT_EQ(document->currentPose, -1);
  EXPECT_THAT(Tabs(), IsEmpty());
  EXPECT_FALSE(document->modified);
  for (int id : {ctl::kWriteProgram, ctl::kSaveEditData, ctl::kAddPose, ctl::kDeletePose,
                 ctl::kSwapPose, ctl::kMirrorLegs, ctl::kRemoteSend, ctl::kReplay})
    EXPECT_FALSE(ui.IsEnabled(id)) << id;
  EXPECT_EQ(ui.Text(ctl::ServoField(0)), "");
  EXPECT_GT(ui.at(ctl::kEyeSwatch).redraws, 0);
}

TEST_F(PoseEditingTest, DeletingMakesTheFollowingOrElseThePreviousPoseCurrent) {
  StartWithPoses(3);
  ui.SelectTab(ctl::kPoseTabs, 1);
  ASSERT_TRUE(CommitEditor(*document, editor));
  ui.SetText(ctl::ServoField(0), "999");  // not committed: deleting discards it
  DeletePose(*document, editor);
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "ポーズ3"));
  EXPECT_EQ(document->currentPose, 1);
  EXPECT_EQ(ui.Text(ctl::ServoField(0)), "200");
  EXPECT_TRUE(document->modified);

  DeletePose(*document, editor);  // the last one
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1"));
  EXPECT_EQ(document->currentPose, 0);
  EXPECT_EQ(ui.SelectedTab(ctl::kPoseTabs), 0);
}

TEST_F(PoseEditingTest, SwappingMovesTheCurrentPoseEarlierWithItsLabel) {
  StartWithPoses(3);
  ui.SelectTab(ctl::kPoseTabs, 1);
  ASSERT_TRUE(CommitEditor(*document, editor));
  ui.SetText(ctl::kHoldTime, "75");
  SwapPose(*document, editor);
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ2", "ポーズ1", "ポーズ3"));
  EXPECT_EQ(document->currentPose, 0);
  EXPECT_EQ(ui.SelectedTab(ctl::kPoseTabs), 0);
  EXPECT_EQ(document->motion.poses[0].holdTime, 75) << "committed before the swap";
  EXPECT_EQ(document->motion.poses[0].servo[0], 100);
  EXPECT_FALSE(ui.IsEnabled(ctl::kSwapPose));
  EXPECT_TRUE(document->modified);

  document->modified = false;
  SwapPose(*document, editor);  // the first cannot move
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ2", "ポーズ1", "ポーズ3"));
  EXPECT_FALSE(document->modified);
}

TEST_F(PoseEditingTest, OriginPoseWithoutPosesCreatesTheFirstPose) {
  Start();
  GiveStandardValues();
  ui.answers = {Button::kYes};
  OriginPose(*document, editor, true);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgAddOriginPose));
  ASSERT_EQ(document->poseCount(), 1);
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1"));
  EXPECT_EQ(document->motion.poses[0].servo[19], 190);
  EXPECT_EQ(document->motion.poses[0].travelTime, 60);
  EXPECT_EQ(ui.Text(ctl::ServoField(19)), "190");
  EXPECT_TRUE(ui.IsEnabled(ctl::kAddPose));
  EXPECT_TRUE(document->modified);
}

TEST_F(PoseEditingTest, OriginPoseWithPosesChangesOnlyTheEditorFields) {
  StartWithPoses(2);
  GiveStandardValues();
  ui.answers = {Button::kNo, Button::kYes};
  OriginPose(*document, editor, true);
  EXPECT_EQ(Field(3), 3) << "No leaves the editor alone";
  EXPECT_FALSE(document->modified);

  OriginPose(*document, editor, true);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgReplaceWithOriginPose, kMsgReplaceWithOriginPose));
  EXPECT_EQ(Field(3), 30);
  EXPECT_EQ(document->motion.poses[0].servo[3], 3) << "the pose changes at the next commit";
  EXPECT_TRUE(document->modified);
  ASSERT_TRUE(CommitEditor(*document, editor));
  EXPECT_EQ(document->motion.poses[0].servo[3], 30);
}

TEST_F(PoseEditingTest, OriginPoseWithoutStandardValuesChangesNothing) {
  Start();
  ui.fileAnswers.push_back(std::nullopt);
  OriginPose(*document, editor, false);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSetupNotLoaded));
  EXPECT_EQ(document->poseCount(), 0);
  EXPECT_FALSE(document->modified);
}

TEST_F(PoseEditingTest, MirroringTheLegsSwapsDeviationsWithOppositeSign) {
  StartWithPoses(1);
  GiveStandardValues();
  ui.SetText(ctl::ServoField(0), std::to_string(0 + 50));   // right hip roll: standard + 50
  ui.SetText(ctl::ServoField(5), std::to_string(50 - 20));  // left hip roll: standard - 20
  document->modified = false;
  MirrorServos(*document, editor, MirrorGroup::kLegs);
  EXPECT_EQ(Field(5), 50 - 50);
  EXPECT_EQ(Field(0), 0 + 20);
  EXPECT_TRUE(document->modified);
  EXPECT_EQ(document->motion.poses[0].servo[0], 0) << "only the editor changes";
}

TEST_F(PoseEditingTest, MirroringTheHeadReflectsTwoServosAndKeepsId15) {
  StartWithPoses(1);
  GiveStandardValues();
  ui.SetText(ctl::ServoField(11), "200");  // standard 110
  ui.SetText(ctl::ServoField(12), "100");  // standard 120
  ui.SetText(ctl::ServoField(13), "555");
  MirrorServos(*document, editor, MirrorGroup::kHead);
  EXPECT_EQ(Field(11), 20);
  EXPECT_EQ(Field(12), 140);
  EXPECT_EQ(Field(13), 555);
}

TEST_F(PoseEditingTest, MirroringArmsAndWaistTouchesOnlyTheirServos) {
  StartWithPoses(1);
  GiveStandardValues();
  ui.SetText(ctl::ServoField(16), "");  // an empty field reads 0
  MirrorServos(*document, editor, MirrorGroup::kArms);
  EXPECT_EQ(Field(19), 190 - (0 - 160)) << "ID21 takes ID18's deviation, sign turned";
  EXPECT_EQ(Field(16), 160 - (19 - 190));
  EXPECT_EQ(Field(14), 140 - (17 - 170));
  MirrorServos(*document, editor, MirrorGroup::kWaist);
  EXPECT_EQ(Field(10), 2 * 100 - 10);
  EXPECT_EQ(Field(9), 9) << "legs untouched";
}

TEST_F(PoseEditingTest, MirroringNeverWrapsATypedValueAndTheCommitRefusesIt) {
  StartWithPoses(1);
  GiveStandardValues();
  ui.SetText(ctl::ServoField(0), "70000");  // standard 0; 70000 - 0 wraps to 4464 in 16 bits
  MirrorServos(*document, editor, MirrorGroup::kLegs);
  EXPECT_EQ(Field(5), 50 - 70000);
  EXPECT_FALSE(CommitEditor(*document, editor));
  EXPECT_EQ(ui.shownIds().back(), kMsgValueOutOfRange);
}

TEST_F(PoseEditingTest, StartSyncFollowsTheCheckBox) {
  Start();
  ui.SetChecked(ctl::kStartSync, false);
  ToggleStartSync(*document, ui);
  EXPECT_FALSE(ui.IsEnabled(ctl::kStartTime));
  EXPECT_FALSE(ui.IsEnabled(ctl::kStartTimeSpin));
  EXPECT_FALSE(document->modified) << "without a pose only the fields change";

  StartWithPoses(2);
  ui.SetChecked(ctl::kStartSync, true);
  ToggleStartSync(*document, ui);
  EXPECT_EQ(document->motion.poses[0].flags, kBrightnessLimit | kStartSynchronised);
  EXPECT_TRUE(ui.IsEnabled(ctl::kStartTime));
  EXPECT_TRUE(document->modified);
  ui.SetChecked(ctl::kStartSync, false);
  ToggleStartSync(*document, ui);
  EXPECT_EQ(document->motion.poses[0].flags, kBrightnessLimit);
}

}  // namespace
}  // namespace kz::testing
