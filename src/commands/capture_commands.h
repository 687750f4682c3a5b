#pragma once

#include <string_view>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// The capture button (15) of the main window.

// Puts the captured servo values into the editor, or into a new first pose
// when the motion is empty; asks first whether to add a pose for them when
// the last pose is shown (155) or there is none (154). False when nothing
// was captured yet (171) or nothing was taken.
bool CapturePose(MotionDocument& document, EditorUi& ui);

// Writes each captured value within -1500..1500 into its servo field; a value
// out of that range leaves its field as it was.
void ApplyCapturedServos(std::string_view record, MotionDocument& document, Controls& controls);

}  // namespace kz
