#pragma once

#include <string>
#include <vector>

#include "cli/cli_session.h"

namespace kz {

// import-logs (FOLDER | --flashair HOST) -o MOTION.KZI
// Reads the servo logs サーボ01.LOG ... of a card folder (its ADDON, or any
// folder holding them) or of a FlashAir card into an edit-data file. Exit
// code 0 done, 1 failed or no pose read, 2 bad command line.
int RunImportLogs(const std::string& settingsPath, const GlobalOptions& options,
                  const std::vector<std::string>& args);

}  // namespace kz
