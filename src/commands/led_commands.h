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

// The main window's "詳細" button: makes sure there is a pose (offering the
// origin pose, message 183), shows the dialog, then brings the window's eye
// swatch and mouth box up to date.
void LedDetails(MotionDocument& document, EditorUi& ui);

}  // namespace kz
