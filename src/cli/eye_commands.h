#pragma once

#include <string>
#include <vector>

#include "cli/cli_session.h"

namespace kz {

// convert-eyes PROGRAM.KM4 --left N --right N: every pose of the program
// shows expression pattern N (0 to 255) on each eye; the file is patched in
// place. Returns the exit code: 0 done, 1 failed, 2 bad command line.
int RunConvertEyes(const std::string& settingsPath, const GlobalOptions& options,
                   const std::vector<std::string>& args);

}  // namespace kz
