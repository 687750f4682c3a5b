#pragma once

#include <optional>
#include <string>

#include "model/motion_document.h"
#include "ui/controls.h"
#include "ui/editor_ui.h"

namespace kz {

// Capture (button 15): the servo positions the robot measured, read back
// from its CAPTURE.LOG.

// The 128-byte capture record from the card drive or the Wi-Fi card;
// nullopt, after message 153 (or the transport's 166), when it could not be
// read whole.
std::optional<std::string> ReadCaptureRecord(MotionDocument& document, Prompts& prompts);

// Puts the captured servo values into the editor, or into a new first pose
// when the motion is empty; asks first whether to add a pose for them when
// the last pose is shown (155) or there is none (154). False when nothing
// was captured yet (171) or nothing was taken.
bool CapturePose(MotionDocument& document, EditorUi& ui);

// Writes each captured value within -1500..1500 into its servo field; a value
// out of that range leaves its field as it was.
void ApplyCapturedServos(const std::string& record, MotionDocument& document, Controls& controls);

}  // namespace kz
