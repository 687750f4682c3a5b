#pragma once

#include <chrono>
#include <functional>

#include "model/motion_document.h"
#include "model/pose.h"
#include "ui/editor_ui.h"

namespace kz {

// Live commands of the main window: remote send (button 14) and playback
// (check box 1061, paced by timer 0).

// Stores the editor into the current pose and sends it to the robot.
void RemoteSendCurrentPose(MotionDocument& document, EditorUi& ui);

// Follows check box 1061: starts playback from the first pose when it was
// set and there are poses, else stops it.
void TogglePlayback(MotionDocument& document, EditorUi& ui);

// One step: sends the next pose and arms timer 0 until the next one is due.
// Ends after the loop count's passes (field 1052), back and forth when box
// 1054 is set, or when a send fails, clearing box 1061.
void PlaybackStep(MotionDocument& document, EditorUi& ui);

// The clock the steps are paced by: monotonic, so that a change of the
// system's time neither stalls nor rushes a motion. Tests pass their own.
using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;
std::chrono::steady_clock::time_point SteadyNow();

// Playback state from the first pose, due now, for a caller that drives the
// steps.
void BeginPlayback(MotionDocument& document, const MonotonicClock& clock = SteadyNow);

// What one step did: the pose sent (-1 for none) and the wait armed before
// the next step (-1 when playback has ended).
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
PlaybackSent StepPlayback(MotionDocument& document, EditorUi& ui,
                          const MonotonicClock& clock = SteadyNow);

// Milliseconds from sending `pose` to sending the next one: its travel time
// (slowed like the record) and its hold time, in sixtieths of a second.
int PlaybackPeriod(const MotionDocument& document, const Pose& pose);

}  // namespace kz
