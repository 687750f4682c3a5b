#pragma once

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// Handler of the simulator box (1064) after the click: starts the simulator
// when the box is now set (asking for the executable when it is not where
// the settings say), closes it when the box is now cleared, and sets the
// controls for either.
void ToggleSimulator(MotionDocument& document, EditorUi& ui);

}  // namespace kz
