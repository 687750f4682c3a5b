#pragma once

#include <string>

#include "model/motion_document.h"
#include "platform/mount_point.h"
#include "ui/editor_ui.h"

namespace kz {

// Names of the program placed for the robot's direct-command program.
inline constexpr const char* kDirectProgramName = "TEMP.KM4";  // model 1
inline constexpr const char* kDirectBinaryName = "TEMP.BIN";   // model 2, Wi-Fi
inline constexpr const char* kStartupImageName = "STARTUP.BIN";

// Where the system's temporary files go and how the card's root is found.
struct DirectExecuteEnvironment {
  // With its final separator; empty takes $TMPDIR, else /tmp/. TEMP.BIN
  // goes into a private folder made inside it for the run.
  std::string temporaryFolder;
  MountPointFinder mountPointOf = FileSystemRootOf;
};

// Uploads the local file `localPath` (CP932) to the FlashAir card's ADDON as
// `cardName`. Message 125 when it cannot be read, 167 when the upload fails.
bool UploadLocalFile(MotionDocument& document, Prompts& prompts, const std::string& localPath,
                     const std::string& cardName);

// The handler of the "直接実行" button: places a program for the robot and,
// except on the model-2 Wi-Fi road, tells the robot to run it. Model 1 runs
// a program text file the user picks; model 2 the motion being edited,
// written as a binary program. True when the program was placed (and the
// command written, where one follows); every failure has been reported.
bool DirectExecute(MotionDocument& document, EditorUi& ui,
                   const DirectExecuteEnvironment& environment = {});

}  // namespace kz
