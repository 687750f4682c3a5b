#include "model/pose_editing.h"

#include <utility>

#include "model/editor.h"
#include "model/pose_label.h"
#include "model/standard_values.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {
namespace {

std::size_t Index(int i) { return static_cast<std::size_t>(i); }

}  // namespace

void AddPose(MotionDocument& document, EditorUi& ui) {
  if (!document.hasCurrentPose()) return;
  if (document.poseCount() >= document.maxPose) {
    ui.prompts.ShowMessage(kMsgPoseListFull);
    return;
  }
  if (!CommitEditor(document, ui)) return;
  const int at = document.currentPose + 1;
  document.motion.InsertCopyAfter(document.currentPose,
                                  at == document.poseCount()
                                      ? NumberedPoseLabel(document.poseCount() + 1)
                                      : InsertedPoseLabel(document.current().label));
  document.currentPose = at;
  RebuildPoseTabs(document, ui.controls);
  ShowPose(document, ui.controls);
  document.modified = true;
}

void DeletePose(MotionDocument& document, EditorUi& ui) {
  if (!document.hasCurrentPose()) return;
  Controls& controls = ui.controls;
  if (document.poseCount() == 1) {
    ClearEditor(document, controls);
    RebuildPoseTabs(document, controls);
    controls.Redraw(ctl::kEyeSwatch);
    EnableEditing(document, controls, false);
    document.modified = false;
    return;
  }
  document.motion.Remove(document.currentPose);
  if (document.currentPose >= document.poseCount()) document.currentPose = document.poseCount() - 1;
  RebuildPoseTabs(document, controls);
  ShowPose(document, controls);
  document.modified = true;
}

void SwapPose(MotionDocument& document, EditorUi& ui) {
  if (document.poseCount() <= 1 || document.currentPose <= 0) return;
  if (!CommitEditor(document, ui)) return;
  document.motion.SwapWithPrevious(document.currentPose);
  --document.currentPose;
  if (document.currentPose == 0) ui.controls.Enable(ctl::kSwapPose, false);
  RebuildPoseTabs(document, ui.controls);
  ShowPose(document, ui.controls);
  document.modified = true;
}

void OriginPose(MotionDocument& document, EditorUi& ui, bool ask) {
  const bool hasPoses = document.poseCount() > 0;
  if (ask) {
    const int question = hasPoses ? kMsgReplaceWithOriginPose : kMsgAddOriginPose;
    if (ui.prompts.ShowMessage(question, BoxKind::kYesNoQuestion) != Button::kYes) return;
  }
  const StandardValues* standard = RequireStandardValues(document, ui);
  if (!standard) return;
  Controls& controls = ui.controls;
  if (hasPoses) {
    // Only the editor changes; the pose takes the values at the next commit.
    for (int k = 0; k < ctl::kServoCount; ++k)
      controls.WriteNumber(ctl::ServoField(k), (*standard)[Index(k)]);
    document.modified = true;
    return;
  }
  if (document.maxPose < 1) {
    ui.prompts.ShowMessage(kMsgPoseListFull);
    return;
  }
  Pose pose = NewPose(document);
  for (int k = 0; k < ctl::kServoCount; ++k)
    pose.servo[Index(k)] = static_cast<std::int16_t>((*standard)[Index(k)]);
  pose.label = NumberedPoseLabel(1);
  document.motion.ReplaceAll({std::move(pose)});
  document.currentPose = 0;
  RebuildPoseTabs(document, controls);
  ShowPose(document, controls);
  EnableEditing(document, controls, true);
  document.modified = true;
}

void MirrorServos(MotionDocument& document, EditorUi& ui, MirrorGroup group) {
  const StandardValues* standard = RequireStandardValues(document, ui);
  if (!standard) return;
  Controls& controls = ui.controls;
  ServoValues values;
  for (int k = 0; k < ctl::kServoCount; ++k)
    values[Index(k)] = controls.ReadNumber(ctl::ServoField(k));
  for (const int k : MirrorServoValues(values, *standard, group))
    controls.WriteNumber(ctl::ServoField(k), values[Index(k)]);
  document.modified = true;
}

void ToggleStartSync(MotionDocument& document, Controls& controls) {
  const bool checked = controls.IsChecked(ctl::kStartSync);
  if (document.hasCurrentPose()) {
    Pose& pose = document.current();
    pose.flags = checked ? pose.flags | kStartSynchronised : pose.flags & ~kStartSynchronised;
    document.modified = true;
  }
  controls.Enable(ctl::kStartTime, checked);
  controls.Enable(ctl::kStartTimeSpin, checked);
}

}  // namespace kz
