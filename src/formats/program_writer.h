#pragma once

#include <optional>
#include <string>

#include "model/motion.h"
#include "model/pose.h"

namespace kz {

// What shapes a program beyond the motion: the robot's standard values the
// pose arrays are written against, the file dialog's per-posture option, and
// the settings of the synchronised start.
struct ProgramOptions {
  StandardValues standardValues{};
  bool perPosture = false;
  int synchroRegister = 0x0ef0;
  int waitSynchroTime = 15;
};

// The whole program text of the motion, its loop and back-and-forth
// included, its forward jumps resolved. nullopt when a pose with a
// synchronised start meets per-posture mode: such a program cannot be
// written.
std::optional<std::string> BuildProgramText(const Motion& motion, const ProgramOptions& options);

// One pose as program text: its group, then its hold time's WAIT when there
// is one. `postureIndex` 0, 1 or 2 writes the standing, ground-seated or
// chair-seated variant (the seated ones take fixed leg and arm values); any
// other value writes the pose as it is.
void WritePoseGroup(const Pose& pose, const StandardValues& standardValues, int postureIndex,
                    std::string& out);

}  // namespace kz
