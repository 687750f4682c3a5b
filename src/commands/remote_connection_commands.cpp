#include "commands/remote_connection_commands.h"

#include <string>

#include "link/remote_connection.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr int kPlaybackTimer = 0;

void ShowConnected(const MotionDocument& document, Controls& controls) {
  const bool hasPoses = document.poseCount() > 0;
  controls.Enable(ctl::kRemoteConnection, true);
  controls.SetChecked(ctl::kRemoteConnection, true);
  controls.Enable(ctl::kSimulator, false);
  controls.Enable(ctl::kRemoteSend, hasPoses);
  controls.Enable(ctl::kReplay, hasPoses);
  // Capture needs servos the robot can move by hand.
  controls.Enable(ctl::kCapture, !document.powerCheck);
  controls.Enable(ctl::kDirectExecute, false);
}

void ShowIdle(Controls& controls) {
  controls.Enable(ctl::kRemoteConnection, true);
  controls.SetChecked(ctl::kRemoteConnection, false);
  controls.Enable(ctl::kSimulator, true);
  controls.Enable(ctl::kRemoteSend, false);
  controls.Enable(ctl::kReplay, false);
  controls.Enable(ctl::kCapture, false);
  controls.Enable(ctl::kDirectExecute, true);
}

void Connect(MotionDocument& document, EditorUi& ui, const SleepFunction& sleep) {
  if (document.cardFolder.empty() && !document.useFlashAir) {
    const bool located = ui.prompts.ShowMessage(kMsgStartRemoteConnection,
                                                BoxKind::kYesNoQuestion) == Button::kYes &&
                         LocateCardFolder(document, ui.prompts, ui.dialogs);
    if (!located) {
      ui.controls.SetChecked(ctl::kRemoteConnection, false);
      return;
    }
  }
  if (!OpenRemoteConnection(document, ui.prompts, sleep)) {
    ui.controls.SetChecked(ctl::kRemoteConnection, false);
    return;
  }
  ShowConnected(document, ui.controls);
}

void Disconnect(MotionDocument& document, EditorUi& ui) {
  if (document.playing) {
    ui.controls.SetChecked(ctl::kReplay, false);
    ui.controls.StopTimer(kPlaybackTimer);
  }
  CloseRemoteConnection(document, ui.prompts);
  ShowIdle(ui.controls);
}

}  // namespace

void ToggleRemoteConnection(MotionDocument& document, EditorUi& ui, const SleepFunction& sleep) {
  if (ui.controls.IsChecked(ctl::kRemoteConnection))
    Connect(document, ui, sleep);
  else
    Disconnect(document, ui);
}

}  // namespace kz
