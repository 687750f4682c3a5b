#pragma once

#include "model/mirror.h"
#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// The commands that change the structure of the motion or transform the
// current pose's servo values in the editor.

// Inserts a copy of the current pose after it (unsynchronised).
void AddPose(MotionDocument& document, EditorUi& ui);
// Deletes the current pose without asking; the motion may become empty.
void DeletePose(MotionDocument& document, EditorUi& ui);
// Moves the current pose one place earlier.
void SwapPose(MotionDocument& document, EditorUi& ui);
// Puts the standard values into the editor, or creates the first pose from
// them when there is none; `ask` asks the user first.
void OriginPose(MotionDocument& document, EditorUi& ui, bool ask);

// Mirrors a group's servo fields left to right about the standard values.
void MirrorServos(MotionDocument& document, EditorUi& ui, MirrorGroup group);

// Follows the start-time synchronisation check box.
void ToggleStartSync(MotionDocument& document, Controls& controls);

}  // namespace kz
