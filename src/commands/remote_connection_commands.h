#pragma once

#include "model/motion_document.h"
#include "platform/sleep.h"
#include "ui/editor_ui.h"

namespace kz {

// The "リモート接続" box (1063) of the main window.

// The handler of the box after the click: connects when it is now set
// (asking first, 150, when no card is known; clearing it again on failure),
// disconnects when it is cleared, and switches the robot controls to match.
// `sleep` paces the card write retries.
void ToggleRemoteConnection(MotionDocument& document, EditorUi& ui,
                            const SleepFunction& sleep = SleepMilliseconds);

}  // namespace kz
