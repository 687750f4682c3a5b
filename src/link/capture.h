#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/motion_document.h"
#include "model/pose.h"
#include "ui/prompts.h"

namespace kz {

// Capture: the servo positions the robot measured, read back from its
// CAPTURE.LOG.

// The 128-byte capture record from the card drive or the Wi-Fi card;
// nullopt, after message 153 (or the transport's 166), when it could not be
// read whole.
std::optional<std::string> ReadCaptureRecord(MotionDocument& document, Prompts& prompts);

// A capture that holds servo values: a known simulator is asked to write one
// first (and given REMOTE/WAIT_CAPTURE ms), then the record is read. nullopt
// after a message when it could not be read, or when the robot has captured
// nothing yet (171).
std::optional<std::string> TakeCapture(MotionDocument& document, Prompts& prompts);

// Whether a captured value may replace a servo value of a pose: within
// -1500..1500. A first pose takes the values as measured instead.
bool CapturedValueFits(int value);

// Puts each captured value that fits into `pose`; the others keep theirs.
void ApplyCapturedServos(std::string_view record, Pose& pose);

// The capture as a new last pose, made current: a copy of the last pose
// (its synchronised start cleared) holding the captured values that fit, or,
// in an empty motion, a new pose holding them as measured. Labelled with its
// number. False, after a message, when there is no capture, when the motion
// is full (136), or when the speed check refuses the new pose's travel time
// (135); the motion is then as it was.
bool AppendCapturedPose(MotionDocument& document, Prompts& prompts);

}  // namespace kz
