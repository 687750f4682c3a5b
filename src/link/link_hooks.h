#pragma once

#include "model/motion_document.h"
#include "ui/prompts.h"

namespace kz {

// The document reaches the card through hooks, as the model sits below the
// robot link. These install the link's own operations.

// Reading the setup file from the Wi-Fi card.
void InstallFlashAirDownload(MotionDocument& document, Prompts& prompts);

// Clearing the card's pose file when the document goes away, so that the
// robot does not keep moving into a stale pose. The window does this; a
// command-line send must leave its pose on the card.
void InstallPoseFileClearing(MotionDocument& document, Prompts& prompts);

// Asking a simulator the window started to close when the document goes away.
void InstallSimulatorClosing(MotionDocument& document);

}  // namespace kz
