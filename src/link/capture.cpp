#include "link/capture.h"

#include "link/flashair.h"
#include "link/records.h"
#include "link/send_to_robot.h"
#include "link/simulator.h"
#include "model/editor.h"
#include "model/pose_label.h"
#include "platform/card_io.h"
#include "platform/file_io.h"
#include "platform/simulator_channel.h"
#include "platform/sleep.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr int kServoLimit = 1500;

// The check the editor makes before it stores a pose.
bool TravelTimeAccepted(const MotionDocument& document, Prompts& prompts, int travelTime) {
  if (!document.speedCheck || travelTime >= kMinimumCheckedTravelTime) return true;
  prompts.ShowMessage(kMsgTravelTimeTooShort);
  return false;
}

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

std::optional<std::string> TakeCapture(MotionDocument& document, Prompts& prompts) {
  if (document.simulatorFound) {
    NotifySimulator(document, kSimCaptureRequest);
    // The simulator answers only by writing the file; give it the agreed time.
    SleepMilliseconds(document.settings().ReadInt("REMOTE", "WAIT_CAPTURE", 500));
  }
  auto record = ReadCaptureRecord(document, prompts);
  if (!record) return std::nullopt;
  if (CaptureIsEmpty(*record)) {
    prompts.ShowMessage(kMsgNothingCaptured);
    return std::nullopt;
  }
  return record;
}

bool CapturedValueFits(int value) { return value >= -kServoLimit && value <= kServoLimit; }

void ApplyCapturedServos(std::string_view record, Pose& pose) {
  const auto servos = RecordServos(record);
  if (!servos) return;
  for (int k = 0; k < kServoCount; ++k) {
    const auto at = static_cast<std::size_t>(k);
    if (CapturedValueFits((*servos)[at])) pose.servo[at] = (*servos)[at];
  }
}

bool AppendCapturedPose(MotionDocument& document, Prompts& prompts) {
  const auto record = TakeCapture(document, prompts);
  if (!record) return false;
  const int count = document.poseCount();
  if (count >= document.maxPose) {
    prompts.ShowMessage(kMsgPoseListFull);
    return false;
  }
  if (count > 0) {
    if (!TravelTimeAccepted(document, prompts, document.motion.poses.back().travelTime))
      return false;
    document.motion.InsertCopyAfter(count - 1, NumberedPoseLabel(count + 1));
    ApplyCapturedServos(*record, document.motion.poses.back());
  } else {
    Pose pose = NewPose(document);
    if (!TravelTimeAccepted(document, prompts, pose.travelTime)) return false;
    // The first pose takes the values as measured, unchecked.
    pose.servo = *RecordServos(*record);
    pose.label = NumberedPoseLabel(1);
    document.motion.poses.assign(1, std::move(pose));
  }
  document.currentPose = count;
  document.modified = true;
  return true;
}

}  // namespace kz
