#pragma once

#include <string>
#include <vector>

#include "cli/cli_session.h"

namespace kz {

// The jump address tools on one file each. `args` are the words after the
// command's name; each returns the exit code: 0 the file was written, 1 the
// operation failed or found nothing to do, 2 bad command line. Questions
// (overwrite an output, treat a hexadecimal jump as a name) are answered
// No unless --yes was given.

// repair-jumps PROGRAM.KM4: the loop jumps, rewritten in place.
int RunRepairJumps(const std::string& settingsPath, const GlobalOptions& options,
                   const std::vector<std::string>& args);
// jumps-to-names PROGRAM.KM4: writes PROGRAM.TXT.
int RunJumpsToNames(const std::string& settingsPath, const GlobalOptions& options,
                    const std::vector<std::string>& args);
// names-to-jumps TEXT.TXT: writes TEXT.KM4.
int RunNamesToJumps(const std::string& settingsPath, const GlobalOptions& options,
                    const std::vector<std::string>& args);

}  // namespace kz
