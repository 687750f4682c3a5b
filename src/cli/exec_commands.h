#pragma once

#include <string>
#include <vector>

#include "cli/cli_session.h"

namespace kz {

// exec (PROGRAM.KM4 | MOTION.KZI --model 2) (--card FOLDER | --flashair HOST)
// Places the program on the robot's card and has the robot run it: a motion
// program text for model 1, the motion as a binary program for model 2 (the
// settings' model unless --model names one). Returns 0 done, 1 failed,
// 2 bad command line.
int RunExec(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args);

}  // namespace kz
