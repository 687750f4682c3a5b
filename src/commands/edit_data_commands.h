#pragma once

#include <string>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// The open and save commands of the editor's own file (.KZI).

// The open command: an edit-data file, or a motion program when the name ends
// in ".KM4" in any case. True when the file was read or the dialog cancelled;
// false when the chosen file was not read (the window then clears the editor).
bool OpenEditData(MotionDocument& document, EditorUi& ui);

// Replaces the motion by the file at `path` (CP932) and shows its loop
// settings. On failure (message 131 unreadable, 133 not a valid file) the
// document is left exactly as it was.
bool ReadEditData(MotionDocument& document, EditorUi& ui, const std::string& path);

// Only kSaved lets closing or opening another motion go on after "save"
// was chosen: a cancelled dialog and a failed write both keep the edits.
enum class SaveResult { kSaved, kCancelled, kFailed };

// The save command: asks for the file, takes over the editor, then
// SaveEditDataTo.
SaveResult SaveEditData(MotionDocument& document, EditorUi& ui);

// Saves the document's motion as it stands to `path` (CP932), which becomes
// its file: refuses a sound name longer than a header field holds (message
// 201), replaces the file atomically (a failed save, message 132, leaves the
// previous file as it was), remembers it as DATA/PATH, and leaves the
// document not modified. kSaved or kFailed.
SaveResult SaveEditDataTo(MotionDocument& document, Prompts& prompts, const std::string& path);

}  // namespace kz
