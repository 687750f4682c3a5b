#pragma once

#include "model/motion_document.h"
#include "platform/sleep.h"
#include "ui/editor_ui.h"

namespace kz {

// Setting up and tearing down the link to the robot's remote-connection
// program, which watches the files in the card's folder ADDON.

// Makes sure `cardFolder` is known and holds ADDON: from the settings, else
// from the REMOTE.LOG the user picks (the folder above its ADDON, ending in a
// separator, remembered as REMOTE/FOLDER_DIRECTORY). False when the dialog is
// cancelled or ADDON is missing (message 164).
bool LocateCardFolder(MotionDocument& document, Prompts& prompts, Dialogs& dialogs);

// Lets the user pick the card's REMOTE.LOG again; no check is made.
void ChooseRemoteFile(MotionDocument& document, Dialogs& dialogs);

// Whether the FlashAir card answers, carries the remote-connection main
// program (model 1) and a folder ADDON; on success `useFlashAir` is set and
// remembered. Reports its own failures (167, 157, 170).
bool CheckFlashAirCard(MotionDocument& document, Prompts& prompts);

// The handler of the "リモート接続" box after the click: connects when it is
// now set (clearing it again on failure), disconnects when it is cleared, and
// switches the robot controls to match. `sleep` paces the card write retries.
void ToggleRemoteConnection(MotionDocument& document, EditorUi& ui,
                            const SleepFunction& sleep = SleepMilliseconds);

}  // namespace kz
