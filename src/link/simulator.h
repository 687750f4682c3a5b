#pragma once

#include <string>

#include "model/motion_document.h"
#include "platform/sleep.h"
#include "ui/prompts.h"

namespace kz {

// The simulator: a separate program that shows the robot on the screen.
// While its socket is known, remote send and capture exchange their record
// files with it through `remoteFolder`.

inline constexpr const char* kSimulatorExecutable = "KZSimulator";

// Where the settings say the executable is: SIMULATOR/FOLDER_PATH, by
// default the settings file's folder. Not checked.
std::string SimulatorPath(const MotionDocument& document);

// Starts the executable at `exePath` with "-m" and waits up to 100 x 100 ms
// for its socket. False, after message 189, when it could not be started;
// true also when the socket never appeared.
bool LaunchSimulator(MotionDocument& document, Prompts& prompts, const std::string& exePath,
                     const SleepFunction& sleep = SleepMilliseconds);

// After a start from `exePath`: its folder is remembered (without its final
// separator) and the records go through the temporary folder.
void RememberSimulator(MotionDocument& document, const std::string& exePath);

// Sends the close request to a known simulator, forgets it, and reaps the
// process if it has ended already.
void CloseSimulator(MotionDocument& document);

// Posts `value` to the simulator when its socket is known.
void NotifySimulator(const MotionDocument& document, int value);

}  // namespace kz
