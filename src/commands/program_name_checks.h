#pragma once

#include "model/motion_document.h"
#include "ui/prompts.h"

namespace kz {

// The checks the program commands make before they ask for a file: a name
// a program cannot carry (see FitsProgram) would keep the robot from
// running it.

// Refuses with message 204 a start or end sound name that does not fit.
bool SoundNamesFitProgram(const MotionDocument& document, Prompts& prompts);

// Refuses with message 205, naming the pose, a pose label that does not fit.
bool PoseLabelsFitProgram(const MotionDocument& document, Prompts& prompts);

}  // namespace kz
