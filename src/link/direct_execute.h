#pragma once

#include <string>

#include "model/motion_document.h"
#include "ui/prompts.h"

namespace kz {

// Names of the program placed for the robot's direct-command program.
inline constexpr const char* kDirectProgramName = "TEMP.KM4";  // model 1
inline constexpr const char* kDirectBinaryName = "TEMP.BIN";   // model 2, Wi-Fi
inline constexpr const char* kStartupImageName = "STARTUP.BIN";

// Uploads the local file `localPath` (CP932) to the FlashAir card's ADDON as
// `cardName`. Message 125 when it cannot be read, 167 when the upload fails.
bool UploadLocalFile(MotionDocument& document, Prompts& prompts, const std::string& localPath,
                     const std::string& cardName);

// Copies the local file `localPath` (CP932) into the card folder's ADDON as
// `cardName`, never through a link or onto a special file standing there
// (message 260 with its path). Message 151 when it cannot be copied.
bool CopyLocalFileToCard(const MotionDocument& document, Prompts& prompts,
                         const std::string& localPath, const std::string& cardName);

}  // namespace kz
