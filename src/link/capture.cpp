#include "link/capture.h"

#include "link/flashair.h"
#include "link/records.h"
#include "link/send_to_robot.h"
#include "link/simulator.h"
#include "model/editor.h"
#include "model/pose_editing.h"
#include "model/pose_label.h"
#include "platform/card_io.h"
#include "platform/file_io.h"
#include "platform/simulator_channel.h"
#include "platform/sleep.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr int kServoLimit = 1500;

}  // namespace

std::optional<std::string> ReadCaptureRecord(MotionDocument& document, Prompts& prompts) {
  const RecordTarget target = ChooseRecordTarget(document);
  if (target.kind == RecordTarget::Kind::kFlashAir) {
    std::string record;
    // One byte more than a record, so that a longer file shows as the wrong
    // length instead of being cut to look right.
    const CardFile file = FlashAirFetch(FlashAirCardOf(document, prompts),
                                        std::string(kAddonFolderName) + "/" + kCaptureFileName,
                                        record, kCaptureRecordSize + 1);
    if (file == CardFile::kRead && record.size() == kCaptureRecordSize) return record;
    // A file of another length is as unreadable as on the card drive; a
    // transport failure has said so already.
    if (file != CardFile::kFailed) prompts.ShowMessage(kMsgCaptureReadFailed);
    return std::nullopt;
  }
  const std::string path = target.folder + kCaptureFileName;
  std::optional<std::string> record;
  if (!target.folder.empty() && FileExists(path)) record = ReadCardSector(path);
  if (!record || record->size() != kCaptureRecordSize) {
    prompts.ShowMessage(kMsgCaptureReadFailed);
    return std::nullopt;
  }
  return record;
}

bool CapturePose(MotionDocument& document, EditorUi& ui) {
  if (document.simulatorFound) {
    NotifySimulator(document, kSimCaptureRequest);
    // The simulator answers only by writing the file; give it the agreed time.
    SleepMilliseconds(document.settings().ReadInt("REMOTE", "WAIT_CAPTURE", 500));
  }
  const auto record = ReadCaptureRecord(document, ui.prompts);
  if (!record) return false;
  if (CaptureIsEmpty(*record)) {
    ui.prompts.ShowMessage(kMsgNothingCaptured);
    return false;
  }

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

void ApplyCapturedServos(const std::string& record, MotionDocument& /*document*/,
                         Controls& controls) {
  const auto servos = RecordServos(record);
  if (!servos) return;
  for (int k = 0; k < kServoCount; ++k) {
    const int value = (*servos)[static_cast<std::size_t>(k)];
    if (value >= -kServoLimit && value <= kServoLimit)
      controls.WriteNumber(ctl::ServoField(k), value);
  }
}

}  // namespace kz
