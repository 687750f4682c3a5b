#include "link/playback.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "link/send_to_robot.h"
#include "model/editor.h"
#include "ui/control_ids.h"

namespace kz {
namespace {

constexpr int kPlaybackTimer = 0;

void StopPlayback(MotionDocument& document, Controls& controls) {
  document.playing = false;
  controls.SetChecked(ctl::kReplay, false);
}

// Counts a finished pass; true when the loop count asks for another, which
// then starts from the first pose.
bool NextPass(MotionDocument& document, const Controls& controls) {
  ++document.playRepeat;
  if (document.playRepeat >= controls.ReadNumber(ctl::kLoopCount)) return false;
  document.playBackward = false;
  document.playPose = 0;
  return true;
}

// Moves to the pose after the one just sent; false when the pass is over.
bool Advance(MotionDocument& document, const Controls& controls) {
  const int count = document.poseCount();
  if (controls.IsChecked(ctl::kBackAndForth) && count > 1) {
    if (document.playBackward) {
      if (document.playPose <= 0) return false;
      --document.playPose;
    } else if (document.playPose < count - 1) {
      ++document.playPose;
    } else {
      document.playBackward = true;
      document.playPose = count - 2;
    }
    return true;
  }
  if (document.playPose >= count - 1) return false;
  ++document.playPose;
  return true;
}

}  // namespace

int PlaybackPeriod(const MotionDocument& document, const Pose& pose) {
  const std::int64_t factor = document.slowCheck ? document.slowRatio : 1;
  const std::int64_t ms =
      (static_cast<std::int64_t>(pose.travelTime) * factor + pose.holdTime) * 1000 / 60;
  // A timer takes neither a negative nor an overlong wait.
  return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

void RemoteSendCurrentPose(MotionDocument& document, EditorUi& ui) {
  if (!CommitEditor(document, ui)) return;
  SendToRobot(document, ui.prompts, document.currentPose);
}

void BeginPlayback(MotionDocument& document) {
  document.playPose = 0;
  document.playRepeat = 0;
  document.playBackward = false;
  document.playing = true;
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

void PlaybackStep(MotionDocument& document, EditorUi& ui) { StepPlayback(document, ui); }

PlaybackSent StepPlayback(MotionDocument& document, EditorUi& ui) {
  PlaybackSent sent;
  if (!document.playing) return sent;
  Controls& controls = ui.controls;
  // Poses deleted while playing: the pass is over where the motion now ends.
  if (document.playPose >= document.poseCount() &&
      (document.poseCount() == 0 || !NextPass(document, controls))) {
    StopPlayback(document, controls);
    return sent;
  }
  const int index = document.playPose;
  if (!SendToRobot(document, ui.prompts, index)) {
    StopPlayback(document, controls);
    return sent;
  }
  sent.pose = index;
  const int period = PlaybackPeriod(document, document.poses[static_cast<std::size_t>(index)]);
  if (!Advance(document, controls) && !NextPass(document, controls)) {
    StopPlayback(document, controls);
    return sent;
  }
  // Armed only now, so the time the send took adds to the interval.
  controls.StartTimer(kPlaybackTimer, period);
  sent.periodMs = period;
  return sent;
}

}  // namespace kz
