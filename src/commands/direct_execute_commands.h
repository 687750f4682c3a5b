#pragma once

#include <string>

#include "model/motion_document.h"
#include "platform/mount_point.h"
#include "ui/editor_ui.h"

namespace kz {

// Where the system's temporary files go and how the card's root is found.
struct DirectExecuteEnvironment {
  // With its final separator; empty takes $TMPDIR, else /tmp/. TEMP.BIN
  // goes into a private folder made inside it for the run.
  std::string temporaryFolder;
  MountPointFinder mountPointOf = FileSystemRootOf;
};

// The handler of the "直接実行" button: places a program for the robot and,
// except on the model-2 Wi-Fi road, tells the robot to run it. Model 1 runs
// a program text file the user picks; model 2 the motion being edited, with
// the window's loop settings, written as a binary program. True when the
// program was placed (and the command written, where one follows); every
// failure has been reported.
bool DirectExecute(MotionDocument& document, EditorUi& ui,
                   const DirectExecuteEnvironment& environment = {});

// Model 1 with the program text file given (CP932): as DirectExecute
// without the file dialog.
bool DirectExecuteProgram(MotionDocument& document, EditorUi& ui, const std::string& programPath);

// Model 2 with the document's motion as it stands, its loop settings
// included: as DirectExecute without taking them from the window.
bool DirectExecuteMotion(MotionDocument& document, EditorUi& ui,
                         const DirectExecuteEnvironment& environment = {});

}  // namespace kz
