#include "dialogs/led_dlg.h"

#include <algorithm>
#include <string>

#include "dialogs/led_swatch.h"
#include "link/send_to_robot.h"
#include "model/editor.h"
#include "platform/text_encoding.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr int kDefaultPatternCount = 64;
// A pattern number has eight bits of the eye value: more entries could not be
// stored or written.
constexpr int kMostPatterns = 256;
constexpr int kPatternShift = 16;
constexpr std::uint32_t kColorBits = 0xFFFF;

bool IsPattern(std::uint32_t eye) { return (eye & kColorBits) == 0; }
int PatternOf(std::uint32_t eye) { return static_cast<int>((eye >> kPatternShift) & 0xFF); }
std::uint32_t PatternEye(int pattern) {
  return static_cast<std::uint32_t>(pattern) << kPatternShift;
}

}  // namespace

void CLedDlg::OnInit(Controls& controls) {
  patternCount_ =
      std::clamp(document->settings().ReadInt("POSE", "PATTERN_COUNT", kDefaultPatternCount), 0,
                 kMostPatterns);
  controls.ClearList(led::kPatterns);
  for (int k = 0; k < patternCount_; ++k)
    controls.AddListItem(led::kPatterns, SystemText("パターン") + std::to_string(k));
  if (!document->hasCurrentPose()) return;

  const Pose& pose = document->current();
  const bool patterns = IsPattern(pose.leftEye) && IsPattern(pose.rightEye);
  const bool same = !patterns || pose.leftEye == pose.rightEye;
  controls.SetChecked(led::kBothEyes, same);
  controls.SetChecked(led::kLeftOnly, false);
  controls.SetChecked(led::kRightOnly, !same);
  SelectPattern(controls, patterns ? PatternOf(pose.rightEye) : -1);
  controls.Enable(led::kConvert, patterns);
  controls.SetChecked(led::kLimit, (pose.flags & kBrightnessLimit) != 0);
  controls.SetChecked(led::kLiveSend, false);
}

bool CLedDlg::OnEvent(Controls& controls, int id, ControlEvent event) {
  if (id == led::kPatterns) {
    if (event == ControlEvent::kSelectionChanged && document->hasCurrentPose())
      PickPattern(controls);
    return false;
  }
  if (event != ControlEvent::kClicked) return false;
  if (id == led::kClose) return true;
  if (!document->hasCurrentPose()) return false;
  Pose& pose = document->current();
  switch (id) {
    case led::kLeftEye:
    case led::kRightEye:
      ChooseEyeColor(controls, id);
      break;
    case led::kMouth:
      ChooseMouthColor(controls);
      break;
    case led::kLiveSend:
      if (controls.IsChecked(led::kLiveSend)) LiveSend(controls);
      break;
    case led::kLimit:
      ToggleLimit(controls);
      break;
    case led::kBothEyes:
      if (const int pattern = controls.SelectedListItem(led::kPatterns); pattern >= 0) {
        pose.leftEye = pose.rightEye = PatternEye(pattern);
        controls.Redraw(led::kLeftEye);
        controls.Redraw(led::kRightEye);
      }
      document->modified = true;
      break;
    case led::kLeftOnly:
    case led::kRightOnly:
      SelectPattern(controls, PatternOf(id == led::kLeftOnly ? pose.leftEye : pose.rightEye));
      document->modified = true;
      break;
    case led::kConvert:
      convertEyes_();
      break;
    default:
      break;
  }
  return false;
}

std::uint32_t CLedDlg::SwatchColor(int id) const { return LedSwatchColor(*document, id); }

void CLedDlg::ChooseEyeColor(Controls& controls, int id) {
  Pose& pose = document->current();
  std::uint32_t& eye = id == led::kLeftEye ? pose.leftEye : pose.rightEye;
  const auto color = mainWindow_.dialogs.AskColor(eye);
  if (!color) return;
  eye = *color;
  controls.Redraw(id);
  if (controls.IsChecked(led::kLiveSend)) {
    LiveSend(controls);
    controls.SelectListItem(led::kPatterns, -1);
  }
  document->modified = true;
}

void CLedDlg::ChooseMouthColor(Controls& controls) {
  Pose& pose = document->current();
  const auto color = mainWindow_.dialogs.AskColor(static_cast<std::uint32_t>(pose.mouth));
  if (!color) return;
  pose.mouth = static_cast<std::int32_t>(*color & 0xFF);  // the mouth shows red only
  controls.Redraw(led::kMouth);
  // The eyes keep their pattern, so the list keeps showing it: that is what
  // keeps the brightness limit, which would garble a pattern number, refused.
  LiveSend(controls);
  document->modified = true;
}

void CLedDlg::ToggleLimit(Controls& controls) {
  if (controls.SelectedListItem(led::kPatterns) >= 0) {
    mainWindow_.prompts.ShowMessage(kMsgPatternNoLimit, BoxKind::kOk);
    controls.SetChecked(led::kLimit, false);
    return;
  }
  Pose& pose = document->current();
  const std::uint32_t flags = controls.IsChecked(led::kLimit) ? pose.flags | kBrightnessLimit
                                                              : pose.flags & ~kBrightnessLimit;
  // A changed pose is an unsaved edit like any other.
  if (flags != pose.flags) document->modified = true;
  pose.flags = flags;
  LiveSend(controls);
}

void CLedDlg::PickPattern(Controls& controls) {
  const int pattern = controls.SelectedListItem(led::kPatterns);
  if (pattern < 0) return;
  Pose& pose = document->current();
  const bool both = controls.IsChecked(led::kBothEyes);
  if (both || controls.IsChecked(led::kLeftOnly)) pose.leftEye = PatternEye(pattern);
  if (both || controls.IsChecked(led::kRightOnly)) pose.rightEye = PatternEye(pattern);
  pose.flags &= ~kBrightnessLimit;  // a limited pattern number would name another pattern
  controls.Redraw(led::kLeftEye);
  controls.Redraw(led::kRightEye);
  controls.Enable(led::kConvert, true);
  controls.SetChecked(led::kLimit, false);
  document->modified = true;
  LiveSend(controls);
}

void CLedDlg::SelectPattern(Controls& controls, int pattern) {
  controls.SelectListItem(led::kPatterns, pattern < patternCount_ ? pattern : -1);
}

void CLedDlg::LiveSend(const Controls& controls) {
  if (!controls.IsChecked(led::kLiveSend)) return;
  if (!CommitEditor(*document, mainWindow_)) return;
  SendToRobot(*document, mainWindow_.prompts, document->currentPose);
}

}  // namespace kz
