#include "commands/led_commands.h"

#include "commands/eye_commands.h"
#include "dialogs/led_dlg.h"
#include "model/pose_editing.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

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

void LedDetails(MotionDocument& document, EditorUi& ui) {
  if (!document.hasCurrentPose()) {
    if (ui.prompts.ShowMessage(kMsgLedNeedsPose, BoxKind::kYesNoQuestion) == Button::kYes)
      OriginPose(document, ui, false);
    if (!document.hasCurrentPose()) return;
  }
  CLedDlg dialog(document, ui,
                 [&] { ConvertEyePatterns(document, ui.prompts, ui.dialogs); });
  ui.dialogs.RunModal(dialog);
  if (!document.hasCurrentPose()) return;
  ui.controls.Redraw(ctl::kEyeSwatch);
  ui.controls.SetChecked(ctl::kMouth, document.current().mouth != 0);
}

}  // namespace kz
