#include "dialogs/led_commands.h"

#include "ui/control_ids.h"

namespace kz {
namespace {

constexpr std::int32_t kMouthLit = 255;

}  // namespace

void ChooseEyeColor(MotionDocument& document, EditorUi& ui) {
  if (!document.hasCurrentPose()) return;
  Pose& pose = document.current();
  const auto color = ui.dialogs.AskColor(pose.leftEye);
  if (!color) return;
  pose.leftEye = pose.rightEye = *color;
  ui.controls.Redraw(ctl::kEyeSwatch);
  document.modified = true;
}

void ToggleMouth(MotionDocument& document, Controls& controls) {
  if (!document.hasCurrentPose()) return;
  document.current().mouth = controls.IsChecked(ctl::kMouth) ? kMouthLit : 0;
  document.modified = true;
}

}  // namespace kz
