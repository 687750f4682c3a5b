#pragma once

#include <string>

#include "model/motion_document.h"
#include "platform/sleep.h"
#include "ui/editor_ui.h"
#include "ui/prompts.h"

namespace kz {

// The simulator (check box 1064): a separate program that shows the robot on
// the screen. While its socket is known, remote send and capture exchange
// their record files with it through `remoteFolder`.

inline constexpr const char* kSimulatorExecutable = "KZSimulator";

// Handler of box 1064 after the click: starts the simulator when the box is
// now set (asking for the executable when it is not where the settings say),
// closes it when the box is now cleared, and sets the controls for either.
void ToggleSimulator(MotionDocument& document, EditorUi& ui);

// Starts the executable at `exePath` with "-m" and waits up to 100 x 100 ms
// for its socket. False, after message 189, when it could not be started;
// true also when the socket never appeared.
bool LaunchSimulator(MotionDocument& document, Prompts& prompts, const std::string& exePath,
                     const SleepFunction& sleep = SleepMilliseconds);

// Sends the close request to a known simulator, forgets it, and reaps the
// process if it has ended already.
void CloseSimulator(MotionDocument& document);

// Posts `value` to the simulator when its socket is known.
void NotifySimulator(const MotionDocument& document, int value);

}  // namespace kz
