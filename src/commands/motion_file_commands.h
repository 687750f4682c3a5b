#pragma once

#include <string>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// Whether `path` names a motion program rather than edit data: its name
// ends in ".KM4" in any case.
bool IsProgramTextPath(const std::string& path);

// Reads the motion at `path` (CP932), a motion program or edit data, into
// the document without showing it: its first pose becomes the current one,
// it is remembered as DATA/PATH and is not modified. A motion without poses
// is left as an empty editor has it. False when the file was not read (the
// reader has said why); the document is then as it was.
bool LoadMotionFile(MotionDocument& document, EditorUi& ui, const std::string& path);

// LoadMotionFile, then the motion is shown from its first pose.
bool OpenMotionFile(MotionDocument& document, EditorUi& ui, const std::string& path);

// What taking over the editor refuses of a motion loaded without a window,
// as if its current pose were shown: with the speed check on, a travel time
// below the least one, or no pose at all (the travel time field is empty
// then). Message 135. The window's commands commit the editor at this step;
// the command-line tool, which has no editor, checks this instead.
bool TravelTimeAccepted(const MotionDocument& document, Prompts& prompts);

}  // namespace kz
