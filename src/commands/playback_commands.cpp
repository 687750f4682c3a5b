#include "commands/playback_commands.h"

#include "link/playback.h"
#include "link/send_to_robot.h"
#include "model/editor.h"
#include "ui/control_ids.h"

namespace kz {
namespace {

constexpr int kPlaybackTimer = 0;

}  // namespace

void RemoteSendCurrentPose(MotionDocument& document, EditorUi& ui) {
  if (!CommitEditor(document, ui)) return;
  SendToRobot(document, ui.prompts, document.currentPose);
}

void TogglePlayback(MotionDocument& document, EditorUi& ui) {
  if (ui.controls.IsChecked(ctl::kReplay) && document.poseCount() > 0) {
    BeginPlayback(document);
    PlaybackStep(document, ui);
    return;
  }
  document.playing = false;
  ui.controls.StopTimer(kPlaybackTimer);
}

void PlaybackStep(MotionDocument& document, EditorUi& ui) {
  // A tick that was already due when playback stopped does nothing.
  if (!document.playing) return;
  TakeLoopSettings(document, ui.controls);
  const PlaybackSent sent = StepPlayback(document, ui.prompts);
  if (sent.waitMs >= 0)
    ui.controls.StartTimer(kPlaybackTimer, sent.waitMs);
  else
    ui.controls.SetChecked(ctl::kReplay, false);
}

}  // namespace kz
