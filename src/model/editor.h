#pragma once

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// Moving values between the document and the main window's editor fields.

// The least travel time the editor stores while the speed check is on.
inline constexpr int kMinimumCheckedTravelTime = 20;

// What an editing session starts with, without a window: the pose, loop and
// link settings read into the document, an empty motion (back and forth
// off), no pose current; leaves `modified` false.
void LoadEditorSettings(MotionDocument& document);

// Once, when the main window is initialised: LoadEditorSettings, then an
// empty editor, the spin ranges and the model-2 restrictions.
void InitEditor(MotionDocument& document, EditorUi& ui);

// The pose defaults, the start and end processing, the loop settings and the
// program torque, from the settings file; the second form also shows the
// loop settings.
void LoadPoseSettings(MotionDocument& document);
void LoadPoseSettings(MotionDocument& document, Controls& controls);
void ApplySpinRanges(const MotionDocument& document, Controls& controls);
void LoadLinkSettings(MotionDocument& document);

// A fresh pose for the creators (origin pose, log import, capture); they fill
// in `servo` and `label`.
Pose NewPose(const MotionDocument& document);

// Stores the editor into the current pose, then makes the selected tab's pose
// current and shows it. False, with nothing stored, when the travel time is
// refused.
bool CommitEditor(MotionDocument& document, EditorUi& ui);

void ShowPose(const MotionDocument& document, Controls& controls);
void RebuildPoseTabs(const MotionDocument& document, Controls& controls);
// Empties the editor and forgets the poses.
void ClearEditor(MotionDocument& document, Controls& controls);
void EnableEditing(const MotionDocument& document, Controls& controls, bool on);
void ReleasePoses(MotionDocument& document);

// The loop count (field 1052) and the back-and-forth box (1054) belong to
// the motion; the window holds them while the user edits them, so a command
// that uses them takes them from there first.
void ShowLoopSettings(const MotionDocument& document, Controls& controls);
void TakeLoopSettings(MotionDocument& document, const Controls& controls);

}  // namespace kz
