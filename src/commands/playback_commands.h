#pragma once

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// The main window's live commands: remote send (button 14) and playback
// (check box 1061, paced by timer 0).

// Stores the editor into the current pose and sends it to the robot.
void RemoteSendCurrentPose(MotionDocument& document, EditorUi& ui);

// Follows check box 1061: starts playback from the first pose when it was
// set and there are poses, else stops it.
void TogglePlayback(MotionDocument& document, EditorUi& ui);

// One step: sends the next pose and arms timer 0 until the next one is due.
// The loop count (field 1052) and back and forth (box 1054) are taken from
// the window at each step, so an edit there counts from the next pass. When
// playback ends, box 1061 is cleared.
void PlaybackStep(MotionDocument& document, EditorUi& ui);

}  // namespace kz
