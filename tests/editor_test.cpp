// The document's creation, the editor's initialisation and the moves between
// the current pose and the editor fields.
#include "model/editor.h"

#include <gmock/gmock.h>

#include "fakes/editor_fixture.h"
#include "model/color_setting.h"
#include "platform/file_io.h"
#include "ui/control_ids.h"
#include "ui/dialog_template.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;

class EditorTest : public EditorFixture {};

TEST_F(EditorTest, NoSettingsFileGivesTheBuiltInDefaults) {
  Start();
  EXPECT_EQ(document->kazoModel, 1);
  EXPECT_EQ(document->maxPose, 180);
  EXPECT_TRUE(document->speedCheck);
  EXPECT_EQ(document->defaultTravelTime, 60);
  EXPECT_EQ(document->defaultHoldTime, 60);
  EXPECT_EQ(document->defaultLedColor, 0x000080FFu);  // "#FF8000": red FF, green 80
  EXPECT_EQ(Cp932ToUtf8(document->motion.startSound), "voice\\303.wav");
  EXPECT_EQ(Cp932ToUtf8(document->motion.endSound), "voice\\Y153.wav");
  EXPECT_EQ(document->motion.startWait, 100);
  EXPECT_EQ(document->motion.endWait, 100);
  EXPECT_EQ(document->programTorque, 80);
  EXPECT_EQ(document->slowRatio, 5);
  EXPECT_FALSE(document->useFlashAir);
  EXPECT_EQ(ui.Text(ctl::kLoopCount), "1");
  EXPECT_EQ(document->poseCount(), 0);
  EXPECT_EQ(document->currentPose, -1);
  EXPECT_FALSE(document->modified);
  EXPECT_FALSE(FileExists(SettingsPath())) << "reading never creates the file";
  EXPECT_TRUE(document->settings().WriteText("DATA", "PATH", "walk.KZI"));
  EXPECT_EQ(folder.Read("KZMotion.ini"), "[DATA]\nPATH=walk.KZI\n") << "the first write creates it";
}

TEST_F(EditorTest, InitialisationAppliesTheSettingsAndEmptiesTheEditor) {
  WriteSettings(
      "[POSE]\nSPEED_CHECK=2\nPOSE_TIME=45\nLOOP_COUNT=3\nREVERSE_CHECK=1\n"
      "[REMOTE]\nFLASH_AIR=1\nSLOW_CHECK=1\nSLOW_RATIO=7\nFOLDER_DIRECTORY=/media/card/\n");
  Start();
  EXPECT_FALSE(document->speedCheck) << "only 1 turns the check on";
  EXPECT_EQ(document->defaultTravelTime, 45);
  EXPECT_EQ(ui.Text(ctl::kLoopCount), "3");
  EXPECT_FALSE(ui.IsChecked(ctl::kBackAndForth)) << "the box always starts unchecked";
  EXPECT_TRUE(document->useFlashAir);
  EXPECT_TRUE(document->slowCheck);
  EXPECT_EQ(document->slowRatio, 7);
  EXPECT_EQ(document->cardFolder, "/media/card/");
  EXPECT_FALSE(document->modified);

  EXPECT_EQ(ui.at(ctl::kTravelTimeSpin).lower, 1) << "without speed check";
  EXPECT_EQ(ui.at(ctl::kTravelTimeSpin).upper, 1000);
  EXPECT_EQ(ui.at(ctl::ServoSpin(19)).lower, -1500);
  EXPECT_EQ(ui.at(ctl::ServoSpin(0)).upper, 1500);
  EXPECT_EQ(ui.at(ctl::kHoldTimeSpin).upper, 3000);
  EXPECT_EQ(ui.at(ctl::kLoopCountSpin).upper, 10);
  EXPECT_EQ(ui.at(ctl::kStartTimeSpin).upper, 32767);
  for (int id : {ctl::kWriteProgram, ctl::kSaveEditData, ctl::kRemoteSend, ctl::kReplay})
    EXPECT_FALSE(ui.IsEnabled(id)) << id;
  EXPECT_TRUE(ui.IsEnabled(ctl::kReadLogs));
}

TEST_F(EditorTest, WithoutAWindowTheSettingsGoIntoTheDocumentAlike) {
  WriteSettings(
      "[POSE]\nSPEED_CHECK=2\nPOSE_TIME=45\nPOSE_WAIT=7\nLOOP_COUNT=3\nREVERSE_CHECK=1\n"
      "PROGRAM_TORQUE=66\n[SOUND]\nSTART_SOUND=a.wav\nEND_WAIT=9\n"
      "[REMOTE]\nFLASH_AIR=1\nFLASH_AIR_HOST=card.local\nPOWER_CHECK=1\nSLOW_CHECK=1\n"
      "SLOW_RATIO=7\nFOLDER_DIRECTORY=/media/card/\n");
  Start();
  MotionDocument alone(SettingsPath());
  alone.motion.poses.resize(2);  // left from before: forgotten
  alone.currentPose = 1;
  alone.modified = true;
  LoadEditorSettings(alone);
  EXPECT_FALSE(alone.speedCheck);
  EXPECT_EQ(alone.defaultTravelTime, 45);
  EXPECT_EQ(alone.defaultHoldTime, 7);
  EXPECT_EQ(alone.motion.loopCount, 3);
  EXPECT_FALSE(alone.motion.backAndForth) << "back and forth always starts off";
  EXPECT_EQ(alone.motion.startSound, "a.wav");
  EXPECT_EQ(alone.motion.endWait, 9);
  EXPECT_EQ(alone.programTorque, 66);
  EXPECT_TRUE(alone.useFlashAir);
  EXPECT_EQ(alone.flashAirHost, "card.local");
  EXPECT_TRUE(alone.powerCheck);
  EXPECT_TRUE(alone.slowCheck);
  EXPECT_EQ(alone.slowRatio, 7);
  EXPECT_EQ(alone.cardFolder, "/media/card/");
  EXPECT_EQ(alone.poseCount(), 0);
  EXPECT_EQ(alone.currentPose, -1);
  EXPECT_FALSE(alone.modified);

  // The window's start leaves the document as this does.
  EXPECT_EQ(document->motion, alone.motion);
  EXPECT_EQ(document->defaultTravelTime, alone.defaultTravelTime);
  EXPECT_EQ(document->defaultHoldTime, alone.defaultHoldTime);
  EXPECT_EQ(document->programTorque, alone.programTorque);
  EXPECT_EQ(document->slowRatio, alone.slowRatio);
  EXPECT_EQ(document->defaultLedColor, alone.defaultLedColor);
  EXPECT_EQ(document->speedCheck, alone.speedCheck);
  EXPECT_EQ(document->cardFolder, alone.cardFolder);
}

TEST_F(EditorTest, SpeedCheckRaisesTheTravelTimeSpinsLowerBound) {
  Start();
  EXPECT_EQ(ui.at(ctl::kTravelTimeSpin).lower, 20);
}

TEST_F(EditorTest, ModelTwoDisablesLogReadingAndStartSynchronisation) {
  WriteSettings("[GENERAL]\nKAZO_MODEL=2\n[POSE]\nMAX_POSE=12\n");
  Start();
  EXPECT_EQ(document->kazoModel, 2);
  EXPECT_EQ(document->maxPose, 12);
  EXPECT_FALSE(ui.IsEnabled(ctl::kReadLogs));
  EXPECT_FALSE(ui.IsEnabled(ctl::kStartSync));
}

TEST_F(EditorTest, LedColorSettingForms) {
  const struct {
    const char* value;
    std::uint32_t colour;
  } cases[] = {
      {"#00FF00", 0x0000FF00},   // green
      {"#0a0B0c", 0x000C0B0A},   // either case, red in the low byte
      {"#00FF0", 0x000080FF},    // too short: the default
      {"00FF00", 0x000080FF},    // no number sign: the default
      {"#00FF00 ", 0x0000FF00},  // the file reader trims the blank
      {"#00GG00", 0x000080FF},   // not hexadecimal
  };
  for (const auto& c : cases) {
    WriteSettings(std::string("[POSE]\nLED_COLOR=") + c.value + "\n");
    EXPECT_EQ(ReadColorSetting(Settings(SettingsPath())), c.colour) << c.value;
  }
}

TEST_F(EditorTest, ShowPoseWritesTheCurrentPoseIntoTheEditor) {
  StartWithPoses(2);
  Pose& second = document->motion.poses[1];
  second.travelTime = 33;
  second.holdTime = 44;
  second.mouth = 255;
  second.flags |= kStartSynchronised;
  second.startTime = 120;
  second.servo[13] = -1234;
  document->currentPose = 1;
  const int redraws = ui.at(ctl::kEyeSwatch).redraws;
  ShowPose(*document, ui);
  EXPECT_EQ(ui.Text(ctl::ServoField(13)), "-1234");
  EXPECT_EQ(ui.Text(ctl::kTravelTime), "33");
  EXPECT_EQ(ui.Text(ctl::kHoldTime), "44");
  EXPECT_EQ(ui.Text(ctl::kStartTime), "120");
  EXPECT_TRUE(ui.IsChecked(ctl::kMouth));
  EXPECT_TRUE(ui.IsChecked(ctl::kStartSync));
  EXPECT_TRUE(ui.IsEnabled(ctl::kStartTime));
  EXPECT_TRUE(ui.IsEnabled(ctl::kStartTimeSpin));
  EXPECT_TRUE(ui.IsEnabled(ctl::kSwapPose));
  EXPECT_EQ(ui.at(ctl::kEyeSwatch).redraws, redraws + 1);

  document->currentPose = 0;
  ShowPose(*document, ui);
  EXPECT_FALSE(ui.IsChecked(ctl::kMouth));
  EXPECT_FALSE(ui.IsEnabled(ctl::kStartTime));
  EXPECT_FALSE(ui.IsEnabled(ctl::kSwapPose)) << "the first pose cannot move earlier";
}

TEST_F(EditorTest, TravelTimeCheckAcceptsTwentyAndRefusesNineteen) {
  StartWithPoses(2);
  ui.SetText(ctl::kTravelTime, "20");
  ui.SetText(ctl::ServoField(0), "-700");
  EXPECT_TRUE(CommitEditor(*document, editor));
  EXPECT_EQ(document->motion.poses[0].travelTime, 20);
  EXPECT_EQ(document->motion.poses[0].servo[0], -700);

  ui.SetText(ctl::kTravelTime, "19");
  ui.SetText(ctl::ServoField(0), "5");
  ui.SelectTab(ctl::kPoseTabs, 1);  // the user picks the other tab
  EXPECT_FALSE(CommitEditor(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgTravelTimeTooShort));
  EXPECT_EQ(ui.focus, ctl::kTravelTime);
  EXPECT_EQ(ui.SelectedTab(ctl::kPoseTabs), 0) << "the selection returns to the pose being edited";
  EXPECT_EQ(document->currentPose, 0);
  EXPECT_EQ(document->motion.poses[0].travelTime, 20) << "nothing is stored";
  EXPECT_EQ(document->motion.poses[0].servo[0], -700);
}

TEST_F(EditorTest, WithoutSpeedCheckTravelTimesFromOneAreStored) {
  WriteSettings("[POSE]\nSPEED_CHECK=0\n");
  StartWithPoses(1);
  for (const char* typed : {"1", "19", "1000"}) {
    ui.SetText(ctl::kTravelTime, typed);
    EXPECT_TRUE(CommitEditor(*document, editor));
    EXPECT_EQ(std::to_string(document->motion.poses[0].travelTime), typed);
  }
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(EditorTest, TypedValuesOutsideTheirSpinsRangeAreRefusedAndNothingIsStored) {
  const struct {
    int field;
    const char* typed;
    const char* name;
    int lower, upper;
  } cases[] = {
      {ctl::ServoField(0), "1501", "ID2(股横回転)", -1500, 1500},
      {ctl::ServoField(2), "-1501", "ID4(ヒザ)", -1500, 1500},
      {ctl::ServoField(2), "70000", "ID4(ヒザ)", -1500, 1500},  // never cut to 16 bits
      {ctl::ServoField(19), "abc", "ID21(ヒジ)", -1500, 1500},
      {ctl::ServoField(10), "12a", "ID12(腰旋回)", -1500, 1500},
      {ctl::ServoField(13), "", "ID15(縦回転)", -1500, 1500},
      {ctl::kTravelTime, "1001", "サーボ移動時間(60/秒)", 20, 1000},
      {ctl::kTravelTime, "abc", "サーボ移動時間(60/秒)", 20, 1000},
      {ctl::kHoldTime, "3001", "ポーズ保持時間(60/秒)", 0, 3000},
      {ctl::kHoldTime, "-1", "ポーズ保持時間(60/秒)", 0, 3000},
      {ctl::kStartTime, "32768", "開始時間(60/秒)", 0, 32767},
      {ctl::kStartTime, "99999999999", "開始時間(60/秒)", 0, 32767},
  };
  for (const auto& c : cases) {
    StartWithPoses(2);
    const Pose before = document->motion.poses[0];
    ui.SetText(ctl::ServoField(1), "-77");  // a good edit beside the bad one
    ui.SetText(c.field, c.typed);
    ui.SelectTab(ctl::kPoseTabs, 1);
    ui.focus = 0;
    EXPECT_FALSE(CommitEditor(*document, editor)) << c.typed;
    ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgValueOutOfRange)) << c.typed;
    EXPECT_THAT(ui.shown[0].args,
                ElementsAre(SystemText(c.name), std::to_string(c.lower), std::to_string(c.upper)));
    EXPECT_EQ(
        FormatMessage(kMsgValueOutOfRange, {c.name, ui.shown[0].args[1], ui.shown[0].args[2]}),
        std::string("[") + c.name + "]の値が正しくありません。\n" + std::to_string(c.lower) +
            "から" + std::to_string(c.upper) + "までの整数を入力してください。");
    EXPECT_EQ(ui.focus, c.field) << c.typed;
    EXPECT_EQ(ui.SelectedTab(ctl::kPoseTabs), 0);
    EXPECT_EQ(document->currentPose, 0);
    const Pose& after = document->motion.poses[0];
    EXPECT_EQ(after.servo, before.servo) << "nothing is stored";
    EXPECT_EQ(after.travelTime, before.travelTime);
    EXPECT_EQ(after.holdTime, before.holdTime);
    EXPECT_EQ(after.startTime, before.startTime);
    EXPECT_EQ(ui.Text(c.field), c.typed) << "the typed text stays for correcting";
    ui.shown.clear();
  }
}

TEST_F(EditorTest, TypedValuesWithinTheRangeAreStored) {
  StartWithPoses(1);
  ui.SetText(ctl::ServoField(0), "-1500");
  ui.SetText(ctl::ServoField(1), "1500");
  ui.SetText(ctl::ServoField(2), " +7 ");
  ui.SetText(ctl::kTravelTime, "1000");
  ui.SetText(ctl::kHoldTime, "0");
  ui.SetText(ctl::kStartTime, "32767");
  ASSERT_TRUE(CommitEditor(*document, editor));
  EXPECT_TRUE(ui.shown.empty());
  const Pose& pose = document->motion.poses[0];
  EXPECT_EQ(pose.servo[0], -1500);
  EXPECT_EQ(pose.servo[1], 1500);
  EXPECT_EQ(pose.servo[2], 7);
  EXPECT_EQ(pose.travelTime, 1000);
  EXPECT_EQ(pose.holdTime, 0);
  EXPECT_EQ(pose.startTime, 32767);
}

TEST_F(EditorTest, ValuesFromAFileOutsideTheRangesAreKeptUntilRetyped) {
  StartWithPoses(1);
  Pose& pose = document->motion.poses[0];
  pose.servo[4] = 2000;
  pose.servo[5] = -32768;
  pose.travelTime = 5000;
  pose.holdTime = 90000;
  pose.startTime = 40000;
  ShowPose(*document, ui);
  ASSERT_TRUE(CommitEditor(*document, editor));
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(pose.servo[4], 2000);
  EXPECT_EQ(pose.servo[5], -32768);
  EXPECT_EQ(pose.travelTime, 5000);
  EXPECT_EQ(pose.holdTime, 90000);
  EXPECT_EQ(pose.startTime, 40000);

  ui.SetText(ctl::ServoField(4), "2001");
  EXPECT_FALSE(CommitEditor(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgValueOutOfRange));
  EXPECT_EQ(pose.servo[4], 2000);
}

TEST_F(EditorTest, EveryPoseFieldIsNamedByTheCaptionBesideIt) {
  const DialogTemplate* window = FindDialogTemplate(102);
  ASSERT_NE(window, nullptr);
  EXPECT_STREQ(CaptionBefore(*window, ctl::ServoField(0)), "ID2(股横回転)");
  EXPECT_STREQ(CaptionBefore(*window, ctl::ServoField(6)), "ID8(股縦回転)");
  for (int k = 0; k < ctl::kServoCount; ++k)
    EXPECT_EQ(std::string(CaptionBefore(*window, ctl::ServoField(k)))
                  .rfind("ID" + std::to_string(k + 2) + "(", 0),
              0u)
        << k;
  EXPECT_STREQ(CaptionBefore(*window, ctl::kHoldTime), "ポーズ保持時間(60/秒)");
  EXPECT_STREQ(CaptionBefore(*window, ctl::kPoseTabs), "") << "no label before it";
}

TEST_F(EditorTest, TabSwitchStoresIntoTheOldPoseAndShowsTheNewOne) {
  for (const bool modifiedBefore : {false, true}) {
    StartWithPoses(3);
    document->modified = modifiedBefore;
    ui.SetText(ctl::ServoField(4), "321");  // typing sets modified ...
    ui.SetText(ctl::kHoldTime, "90");
    ui.SetText(ctl::kStartTime, "15");
    document->modified = modifiedBefore;  // ... which is not what is tested here
    ui.SelectTab(ctl::kPoseTabs, 2);
    EXPECT_TRUE(CommitEditor(*document, editor));
    EXPECT_EQ(document->motion.poses[0].servo[4], 321);
    EXPECT_EQ(document->motion.poses[0].holdTime, 90);
    EXPECT_EQ(document->motion.poses[0].startTime, 15);
    EXPECT_EQ(document->currentPose, 2);
    EXPECT_EQ(ui.Text(ctl::ServoField(4)), "204") << "pose 3 holds 200 + k";
    EXPECT_EQ(document->modified, modifiedBefore) << "the switch itself changes nothing";
  }
}

TEST_F(EditorTest, TypingInTrackedFieldsMarksTheMotionModified) {
  StartWithPoses(1);
  ui.SetText(ctl::kStartTime, "30");
  EXPECT_FALSE(document->modified) << "the start time alone is no change";
  ui.SetText(ctl::ServoField(19), "1");
  EXPECT_TRUE(document->modified);
}

TEST_F(EditorTest, EnableEditingIncludesLinkControlsOnlyWhileALinkIsChecked) {
  StartWithPoses(2);
  EXPECT_TRUE(ui.IsEnabled(ctl::kAddPose));
  EXPECT_TRUE(ui.IsEnabled(ctl::kMirrorWaist));
  EXPECT_FALSE(ui.IsEnabled(ctl::kSwapPose)) << "the first pose is current";
  EXPECT_FALSE(ui.IsEnabled(ctl::kRemoteSend));

  ui.SetChecked(ctl::kSimulator, true);
  EnableEditing(*document, ui, true);
  EXPECT_TRUE(ui.IsEnabled(ctl::kRemoteSend));
  EXPECT_TRUE(ui.IsEnabled(ctl::kReplay));
  EnableEditing(*document, ui, false);
  EXPECT_FALSE(ui.IsEnabled(ctl::kRemoteSend));
  EXPECT_FALSE(ui.IsEnabled(ctl::kWriteProgram));
}

TEST_F(EditorTest, NewPoseTakesTheDefaults) {
  WriteSettings("[POSE]\nPOSE_TIME=30\nPOSE_WAIT=90\nLED_COLOR=#112233\n");
  Start();
  const Pose pose = NewPose(*document);
  EXPECT_EQ(pose.travelTime, 30);
  EXPECT_EQ(pose.holdTime, 90);
  EXPECT_EQ(pose.leftEye, 0x00332211u);
  EXPECT_EQ(pose.rightEye, 0x00332211u);
  EXPECT_EQ(pose.mouth, 0);
  EXPECT_EQ(pose.flags, kBrightnessLimit);
  EXPECT_EQ(pose.startTime, 0);
}

TEST_F(EditorTest, DestroyingTheDocumentClearsTheCardsPoseFile) {
  Start();
  int cleared = 0;
  int closed = 0;
  document->clearPoseFile = [&](MotionDocument&) { ++cleared; };
  document->closeSimulator = [&](MotionDocument&) { ++closed; };
  document.reset();
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(closed, 0) << "no simulator was launched";
}

}  // namespace
}  // namespace kz::testing
