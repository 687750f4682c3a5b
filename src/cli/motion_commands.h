#pragma once

#include <string>
#include <vector>

#include "cli/cli_session.h"

namespace kz {

// The commands on motion files. `args` are the words after the command's
// name; each returns the exit code: 0 done, 1 failed, 2 bad command line.

// write MOTION.KZI -o OUT.KM4 [--per-posture]
int RunWrite(const std::string& settingsPath, const GlobalOptions& options,
             const std::vector<std::string>& args);
// read PROGRAM.KM4 -o OUT.KZI
int RunRead(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args);
// dump FILE
int RunDump(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args);

}  // namespace kz
