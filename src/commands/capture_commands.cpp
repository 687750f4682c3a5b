#include "commands/capture_commands.h"

#include "link/capture.h"
#include "link/records.h"
#include "model/editor.h"
#include "model/pose_editing.h"
#include "model/pose_label.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {

bool CapturePose(MotionDocument& document, EditorUi& ui) {
  const auto record = TakeCapture(document, ui.prompts);
  if (!record) return false;

  if (document.poseCount() > 0) {
    if (document.currentPose + 1 == document.poseCount() &&
        ui.prompts.ShowMessage(kMsgAddCapturedPoseOrReplace, BoxKind::kYesNoQuestion) ==
            Button::kYes) {
      // When the motion is full it says so, and the capture goes into the
      // pose still shown.
      AddPose(document, ui);
    }
    ApplyCapturedServos(*record, document, ui.controls);
    document.modified = true;
    return true;
  }

  if (ui.prompts.ShowMessage(kMsgAddCapturedPose, BoxKind::kYesNoQuestion) != Button::kYes)
    return false;
  if (document.maxPose < 1) {
    ui.prompts.ShowMessage(kMsgPoseListFull);
    return false;
  }
  Pose pose = NewPose(document);
  // The first pose takes the values as measured, unchecked.
  pose.servo = *RecordServos(*record);
  pose.label = NumberedPoseLabel(1);
  document.motion.poses.assign(1, std::move(pose));
  document.currentPose = 0;
  RebuildPoseTabs(document, ui.controls);
  ShowPose(document, ui.controls);
  EnableEditing(document, ui.controls, true);
  document.modified = true;
  return true;
}

void ApplyCapturedServos(std::string_view record, MotionDocument& /*document*/,
                         Controls& controls) {
  const auto servos = RecordServos(record);
  if (!servos) return;
  for (int k = 0; k < kServoCount; ++k) {
    const int value = (*servos)[static_cast<std::size_t>(k)];
    if (CapturedValueFits(value)) controls.WriteNumber(ctl::ServoField(k), value);
  }
}

}  // namespace kz
