#pragma once

#include <optional>
#include <string>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// What shapes a program beyond the document: the main window's loop count and
// back-and-forth box, the file dialog's per-posture option, and the settings
// of the synchronised start.
struct ProgramOptions {
  int loopCount = 1;
  bool backAndForth = false;
  bool perPosture = false;
  int synchroRegister = 0x0ef0;
  int waitSynchroTime = 15;
};

// The whole program text of the document, its forward jumps resolved. The
// document's standard values are expected loaded (missing ones count as 0).
// nullopt when a pose with a synchronised start meets per-posture mode: such a
// program cannot be written.
std::optional<std::string> BuildProgramText(const MotionDocument& document,
                                            const ProgramOptions& options);

// One pose as program text: its group, then its hold time's WAIT when there
// is one. `postureIndex` 0, 1 or 2 writes the standing, ground-seated or
// chair-seated variant (the seated ones take fixed leg and arm values); any
// other value writes the pose as it is.
void WritePoseGroup(const MotionDocument& document, int poseIndex, int postureIndex,
                    std::string& out);

// The "write program" command: asks for the target file, takes over the
// editor, and writes the program. True when a program was written.
bool WriteMotionProgram(MotionDocument& document, EditorUi& ui);

}  // namespace kz
