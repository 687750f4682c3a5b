#include "model/pose_fields.h"

#include <string>

#include "platform/text_encoding.h"
#include "ui/control_ids.h"
#include "ui/dialog_template.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr int kMainWindowTemplate = 102;
constexpr int kMinimumCheckedTravelTime = 20;

// What the current pose holds for `field`, as ShowPose wrote it.
std::string ShownValue(const Pose& pose, int field) {
  if (field == ctl::kTravelTime) return std::to_string(pose.travelTime);
  if (field == ctl::kHoldTime) return std::to_string(pose.holdTime);
  if (field == ctl::kStartTime) return std::to_string(pose.startTime);
  return std::to_string(pose.servo[static_cast<std::size_t>((field - ctl::kFirstServoField) / 2)]);
}

std::string FieldName(int field) {
  const DialogTemplate* window = FindDialogTemplate(kMainWindowTemplate);
  return SystemText(window ? CaptionBefore(*window, field) : "");
}

}  // namespace

std::vector<PoseFieldRange> PoseFieldRanges(const MotionDocument& document) {
  std::vector<PoseFieldRange> ranges = {
      {ctl::kTravelTime, ctl::kTravelTimeSpin, document.speedCheck ? kMinimumCheckedTravelTime : 1,
       1000},
      {ctl::kHoldTime, ctl::kHoldTimeSpin, 0, 3000},
      {ctl::kStartTime, ctl::kStartTimeSpin, 0, 32767},
  };
  for (int k = 0; k < ctl::kServoCount; ++k)
    ranges.push_back({ctl::ServoField(k), ctl::ServoSpin(k), -1500, 1500});
  return ranges;
}

bool CheckTypedPoseValues(const MotionDocument& document, EditorUi& ui) {
  if (!document.hasCurrentPose()) return true;
  const Pose& pose = document.motion.poses[static_cast<std::size_t>(document.currentPose)];
  for (const PoseFieldRange& range : PoseFieldRanges(document)) {
    const std::string text = ui.controls.Text(range.field);
    if (text == ShownValue(pose, range.field)) continue;
    const auto value = ParseStrictFieldNumber(text);
    if (value && *value >= range.lower && *value <= range.upper) continue;
    ui.prompts.ShowMessage(
        kMsgValueOutOfRange, BoxKind::kExclamation,
        {FieldName(range.field), std::to_string(range.lower), std::to_string(range.upper)});
    ui.controls.Focus(range.field);
    return false;
  }
  return true;
}

}  // namespace kz
