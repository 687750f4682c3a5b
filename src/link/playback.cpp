#include "link/playback.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "link/send_to_robot.h"

namespace kz {
namespace {

// Milliseconds from `now` until the next pose is due, and that due time
// moved on by `periodMs` past the pose just sent.
int NextWait(MotionDocument& document, int periodMs, std::chrono::steady_clock::time_point now) {
  document.playDue += std::chrono::milliseconds(periodMs);
  if (document.playDue <= now) {
    document.playDue = now;  // running late: go on from here
    return 0;
  }
  const auto left = document.playDue - now;
  // Rounded up: a timer that fires early would send before the due time.
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::min<std::int64_t>(ms, std::numeric_limits<int>::max()));
}

// Counts a finished pass; true when the loop count asks for another, which
// then starts from the first pose.
bool NextPass(MotionDocument& document) {
  ++document.playRepeat;
  if (document.playRepeat >= document.motion.loopCount) return false;
  document.playBackward = false;
  document.playPose = 0;
  return true;
}

// Moves to the pose after the one just sent; false when the pass is over.
bool Advance(MotionDocument& document) {
  const int count = document.poseCount();
  if (document.motion.backAndForth && count > 1) {
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

std::chrono::steady_clock::time_point SteadyNow() { return std::chrono::steady_clock::now(); }

void BeginPlayback(MotionDocument& document, const MonotonicClock& clock) {
  document.playPose = 0;
  document.playRepeat = 0;
  document.playBackward = false;
  document.playing = true;
  document.playDue = clock();
}

PlaybackSent StepPlayback(MotionDocument& document, Prompts& prompts, const MonotonicClock& clock) {
  PlaybackSent sent;
  if (!document.playing) return sent;
  // Poses deleted while playing: the pass is over where the motion now ends.
  if (document.playPose >= document.poseCount() &&
      (document.poseCount() == 0 || !NextPass(document))) {
    document.playing = false;
    return sent;
  }
  const int index = document.playPose;
  if (!SendToRobot(document, prompts, index)) {
    document.playing = false;
    return sent;
  }
  sent.pose = index;
  const int period =
      PlaybackPeriod(document, document.motion.poses[static_cast<std::size_t>(index)]);
  if (!Advance(document) && !NextPass(document)) {
    document.playing = false;
    return sent;
  }
  sent.waitMs = NextWait(document, period, clock());
  return sent;
}

}  // namespace kz
