#pragma once

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// The main window's own LED controls.

// The colour dialog for both eyes of the current pose, starting at the left
// eye's value. Cancel changes nothing.
void ChooseEyeColor(MotionDocument& document, EditorUi& ui);

// Follows the mouth box: lit is 255, dark 0.
void ToggleMouth(MotionDocument& document, Controls& controls);

}  // namespace kz
