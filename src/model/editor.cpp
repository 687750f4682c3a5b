#include "model/editor.h"

#include "model/color_setting.h"
#include "model/pose_fields.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {
namespace {

// One editor field per servo of a pose.
static_assert(ctl::kServoCount == kServoCount);

constexpr int kPathCapacity = 260;

}  // namespace

void LoadPoseSettings(MotionDocument& document) {
  const Settings file = document.settings();
  document.defaultTravelTime = file.ReadInt("POSE", "POSE_TIME", 60);
  document.defaultHoldTime = file.ReadInt("POSE", "POSE_WAIT", 60);
  document.defaultLedColor = ReadColorSetting(file);
  document.motion.startSound =
      file.ReadText("SOUND", "START_SOUND", "voice\\303.wav", kPathCapacity);
  document.motion.endSound = file.ReadText("SOUND", "END_SOUND", "voice\\Y153.wav", kPathCapacity);
  document.motion.startWait = file.ReadInt("SOUND", "START_WAIT", 100);
  document.motion.endWait = file.ReadInt("SOUND", "END_WAIT", 100);
  document.motion.loopCount = file.ReadInt("POSE", "LOOP_COUNT", 1);
  document.motion.backAndForth = file.ReadInt("POSE", "REVERSE_CHECK", 0) != 0;
  document.motion.startTorqueOn = 0;
  document.motion.endTorqueOff = 0;
  document.programTorque = file.ReadInt("POSE", "PROGRAM_TORQUE", 80);
}

void LoadPoseSettings(MotionDocument& document, Controls& controls) {
  LoadPoseSettings(document);
  ShowLoopSettings(document, controls);
}

void ApplySpinRanges(const MotionDocument& document, Controls& controls) {
  for (const PoseFieldRange& range : PoseFieldRanges(document))
    controls.SetRange(range.spin, range.lower, range.upper);
  controls.SetRange(ctl::kLoopCountSpin, 1, 10);
}

void LoadLinkSettings(MotionDocument& document) {
  const Settings file = document.settings();
  document.powerCheck = file.ReadBool("REMOTE", "POWER_CHECK", false);
  document.slowCheck = file.ReadBool("REMOTE", "SLOW_CHECK", false);
  document.slowRatio = file.ReadInt("REMOTE", "SLOW_RATIO", 5);
  document.useFlashAir = file.ReadBool("REMOTE", "FLASH_AIR", false);
  document.flashAirHost = file.ReadText("REMOTE", "FLASH_AIR_HOST", "flashair", kPathCapacity);
  document.cardFolder = file.ReadText("REMOTE", "FOLDER_DIRECTORY", "", kPathCapacity);
  document.simProcess.reset();
}

void LoadEditorSettings(MotionDocument& document) {
  LoadPoseSettings(document);
  // Back and forth always starts off, whatever the settings say.
  document.motion.backAndForth = false;
  ReleasePoses(document);
  document.currentPose = -1;
  document.speedCheck = document.settings().ReadBool("POSE", "SPEED_CHECK", true);
  LoadLinkSettings(document);
  document.modified = false;
}

void InitEditor(MotionDocument& document, EditorUi& ui) {
  LoadEditorSettings(document);
  ShowLoopSettings(document, ui.controls);
  ClearEditor(document, ui.controls);
  ApplySpinRanges(document, ui.controls);
  if (document.kazoModel == 2) {
    ui.controls.Enable(ctl::kReadLogs, false);
    ui.controls.Enable(ctl::kStartSync, false);
  }
  document.modified = false;
}

Pose NewPose(const MotionDocument& document) {
  Pose pose;
  pose.travelTime = document.defaultTravelTime;
  pose.holdTime = document.defaultHoldTime;
  pose.leftEye = pose.rightEye = document.defaultLedColor;
  pose.mouth = 0;
  pose.flags = kBrightnessLimit;
  pose.startTime = 0;
  return pose;
}

bool CommitEditor(MotionDocument& document, EditorUi& ui) {
  Controls& controls = ui.controls;
  const bool wasModified = document.modified;
  const int travelTime = controls.ReadNumber(ctl::kTravelTime);
  // A typed number below the least travel time keeps its own message; text
  // that is no number is left to the field check.
  const bool travelIsNumber = ParseStrictFieldNumber(controls.Text(ctl::kTravelTime)).has_value();
  const bool tooShort = travelTime < kMinimumCheckedTravelTime && document.speedCheck &&
                        (travelIsNumber || !document.hasCurrentPose());
  if (tooShort || !CheckTypedPoseValues(document, ui)) {
    if (tooShort) {
      ui.prompts.ShowMessage(kMsgTravelTimeTooShort);
      controls.Focus(ctl::kTravelTime);
    }
    controls.SelectTab(ctl::kPoseTabs, document.currentPose);
    return false;
  }
  if (document.hasCurrentPose()) {
    // Every field holds the pose's own value or a checked one, so each fits.
    Pose& pose = document.current();
    pose.travelTime = travelTime;
    for (int k = 0; k < ctl::kServoCount; ++k)
      pose.servo[k] = static_cast<std::int16_t>(controls.ReadNumber(ctl::ServoField(k)));
    pose.holdTime = controls.ReadNumber(ctl::kHoldTime);
    pose.startTime = controls.ReadNumber(ctl::kStartTime);
  }
  const int selected = controls.SelectedTab(ctl::kPoseTabs);
  if (selected >= 0 && selected < document.poseCount()) document.currentPose = selected;
  ShowPose(document, controls);
  document.modified = wasModified;
  return true;
}

void ShowPose(const MotionDocument& document, Controls& controls) {
  if (!document.hasCurrentPose()) return;
  const Pose& pose = document.motion.poses[static_cast<std::size_t>(document.currentPose)];
  for (int k = 0; k < ctl::kServoCount; ++k)
    controls.WriteNumber(ctl::ServoField(k), pose.servo[k]);
  controls.WriteNumber(ctl::kTravelTime, pose.travelTime);
  controls.WriteNumber(ctl::kHoldTime, pose.holdTime);
  controls.Redraw(ctl::kEyeSwatch);
  controls.SetChecked(ctl::kMouth, pose.mouth != 0);
  const bool synchronised = (pose.flags & kStartSynchronised) != 0;
  controls.SetChecked(ctl::kStartSync, synchronised);
  controls.WriteNumber(ctl::kStartTime, pose.startTime);
  controls.Enable(ctl::kStartTime, synchronised);
  controls.Enable(ctl::kStartTimeSpin, synchronised);
  controls.Enable(ctl::kSwapPose, document.currentPose > 0);
}

void RebuildPoseTabs(const MotionDocument& document, Controls& controls) {
  controls.RemoveAllTabs(ctl::kPoseTabs);
  for (int i = 0; i < document.poseCount(); ++i)
    controls.InsertTab(ctl::kPoseTabs, i, document.motion.poses[static_cast<std::size_t>(i)].label);
  controls.SelectTab(ctl::kPoseTabs, document.currentPose);
}

void ClearEditor(MotionDocument& document, Controls& controls) {
  controls.ClearField(ctl::kTravelTime);
  controls.ClearField(ctl::kHoldTime);
  document.motion.backAndForth = false;
  controls.SetChecked(ctl::kBackAndForth, false);
  for (int k = 0; k < ctl::kServoCount; ++k) controls.ClearField(ctl::ServoField(k));
  for (int id : {ctl::kWriteProgram, ctl::kSaveEditData, ctl::kRemoteSend, ctl::kReplay})
    controls.Enable(id, false);
  // Nothing refers to the poses any more: release them rather than keep them.
  ReleasePoses(document);
  document.currentPose = -1;
  controls.Redraw(ctl::kEyeSwatch);  // grey now: there is no pose
}

void EnableEditing(const MotionDocument& document, Controls& controls, bool on) {
  for (int id : {ctl::kWriteProgram, ctl::kSaveEditData, ctl::kAddPose, ctl::kDeletePose,
                 ctl::kMirrorLegs, ctl::kMirrorArms, ctl::kMirrorHead, ctl::kMirrorWaist})
    controls.Enable(id, on);
  // The first pose has nothing to swap with.
  controls.Enable(ctl::kSwapPose, on && document.currentPose > 0);
  if (controls.IsChecked(ctl::kRemoteConnection) || controls.IsChecked(ctl::kSimulator)) {
    controls.Enable(ctl::kRemoteSend, on);
    controls.Enable(ctl::kReplay, on);
  }
}

void ReleasePoses(MotionDocument& document) { document.motion.poses.clear(); }

void ShowLoopSettings(const MotionDocument& document, Controls& controls) {
  controls.WriteNumber(ctl::kLoopCount, document.motion.loopCount);
  controls.SetChecked(ctl::kBackAndForth, document.motion.backAndForth);
}

void TakeLoopSettings(MotionDocument& document, const Controls& controls) {
  document.motion.loopCount = controls.ReadNumber(ctl::kLoopCount);
  document.motion.backAndForth = controls.IsChecked(ctl::kBackAndForth);
}

}  // namespace kz
