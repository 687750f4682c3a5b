#pragma once

#include <string>
#include <vector>

#include "cli/cli_session.h"

namespace kz {

// The live link from a terminal. The robot's card is a folder holding ADDON
// (--card FOLDER) or a FlashAir card (--flashair HOST). Poses are numbered
// from 1, as their tabs are. Each returns the exit code: 0 done, 1 failed,
// 2 bad command line, 130 play stopped with Ctrl+C.

// send MOTION.KZI --pose N (--card FOLDER | --flashair HOST)
int RunSend(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args);
// play MOTION.KZI (--card FOLDER | --flashair HOST)
int RunPlay(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args);
// capture (--card FOLDER | --flashair HOST) -o MOTION.KZI
int RunCapture(const std::string& settingsPath, const GlobalOptions& options,
               const std::vector<std::string>& args);
// record MOTION.KZI --pose N -o SERVO.LOG
int RunRecord(const std::string& settingsPath, const GlobalOptions& options,
              const std::vector<std::string>& args);

}  // namespace kz
