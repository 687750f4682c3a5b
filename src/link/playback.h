#pragma once

#include <chrono>
#include <functional>

#include "model/motion_document.h"
#include "model/pose.h"
#include "ui/prompts.h"

namespace kz {

// Playing the motion on the robot: the poses sent one after another, each
// when its due time comes, for the motion's loop count of passes, back and
// forth when the motion asks for it.

// The clock the steps are paced by: monotonic, so that a change of the
// system's time neither stalls nor rushes a motion. Tests pass their own.
using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;
std::chrono::steady_clock::time_point SteadyNow();

// Playback state from the first pose, due now, for a caller that drives the
// steps.
void BeginPlayback(MotionDocument& document, const MonotonicClock& clock = SteadyNow);

// What one step did: the pose sent (-1 for none) and the wait before the
// next step (-1 when playback has ended, or was not under way).
//
// Each pose is due one period (PlaybackPeriod) after the one before it was
// due, not after its send ended: the time the sends take is taken out of
// the waits, so a long motion keeps its pace. A send that runs past the
// next pose's due time is followed at once, and the schedule goes on from
// there rather than rushing poses out to catch up.
struct PlaybackSent {
  int pose = -1;
  int waitMs = -1;
};

// One step while `document.playing`: sends the next pose. Playback ends
// (`playing` cleared) after motion.loopCount passes (a count below 1 is
// one pass), going back and forth when motion.backAndForth is set, or when
// a send fails, which has said why.
PlaybackSent StepPlayback(MotionDocument& document, Prompts& prompts,
                          const MonotonicClock& clock = SteadyNow);

// Milliseconds from sending `pose` to sending the next one: its travel time
// (slowed like the record) and its hold time, in sixtieths of a second.
int PlaybackPeriod(const MotionDocument& document, const Pose& pose);

}  // namespace kz
