#pragma once

#include <string>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// The "write program" command: refuses names no program can carry, asks for
// the target file, takes over the editor, and writes the program (a binary
// one for model 2). True when a program was written.
bool WriteMotionProgram(MotionDocument& document, EditorUi& ui);

// The motion program text of the document to `path` (CP932), once the names
// were checked and the edits taken into the motion: loads the standard
// values when they are not there yet, refuses a per-posture program the
// motion cannot have (messages 190, 191, 194), writes the file atomically,
// remembers it as POSE/PATH and reports (message 127; 130 when the file
// cannot be written). True when written; every failure has been reported.
// It reads no control.
bool WriteMotionProgramTo(MotionDocument& document, EditorUi& ui, const std::string& path,
                          bool perPosture);

// Replaces the document's poses by those of the program at `path` (CP932).
// Offers each sound statement as the start or end sound. False when the
// standard values cannot be had (already reported), the file cannot be read
// (message 125), or it is no motion program: it holds a NUL byte or not one
// readable pose (message 220). Nothing of the motion, its start and end
// processing or its loop settings changes then. Pose arrays beyond `maxPose`
// are skipped and the user is told (message 202).
bool ReadMotionProgram(MotionDocument& document, EditorUi& ui, const std::string& path);

}  // namespace kz
