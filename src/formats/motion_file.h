#pragma once

#include <string>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// Opens a motion from `path` (CP932): a motion program when the name ends in
// ".KM4" in any case, else edit data. On success the motion is shown from
// its first pose, remembered as DATA/PATH and not modified; false when the
// file was not read (the reader has said why).
bool OpenMotionFile(MotionDocument& document, EditorUi& ui, const std::string& path);

// Whether `path` names a motion program rather than edit data.
bool IsProgramTextPath(const std::string& path);

}  // namespace kz
