#pragma once

#include <string>

#include "model/motion_document.h"
#include "platform/sleep.h"
#include "ui/dialogs.h"
#include "ui/prompts.h"

namespace kz {

// Setting up and tearing down the link to the robot's remote-connection
// program, which watches the files in the card's folder ADDON.

// The card's REMOTE.LOG under `cardFolder`: where the card is probed, and
// where the dialog that picks it starts.
std::string RemoteFilePath(const std::string& cardFolder);

// The file dialog that picks the card's REMOTE.LOG, starting at `initialName`.
FileDialogRequest RemoteFileRequest(const std::string& initialName);

// Takes the folder above the picked REMOTE.LOG's folder (its ADDON,
// unchecked) as the card folder, ending in a separator, and remembers it as
// REMOTE/FOLDER_DIRECTORY.
void TakeRemoteFile(MotionDocument& document, const std::string& remoteFile);

// A card folder not known yet is taken from the settings.
void RecallCardFolder(MotionDocument& document);

// Whether the card folder is known and holds ADDON; message 164 when not.
bool CheckCardFolder(const MotionDocument& document, Prompts& prompts);

// Makes sure `cardFolder` is known and holds ADDON: from the settings, else
// from the REMOTE.LOG the user picks (TakeRemoteFile). False when the dialog
// is cancelled or ADDON is missing (message 164).
bool LocateCardFolder(MotionDocument& document, Prompts& prompts, Dialogs& dialogs);

// Whether the FlashAir card answers, carries the remote-connection main
// program (model 1) and a folder ADDON; on success `useFlashAir` is set and
// remembered. Reports its own failures (167, 157, 170).
bool CheckFlashAirCard(MotionDocument& document, Prompts& prompts);

// Opens the link to a card already located: on model 2, unless a simulator
// was started, an empty capture and a first pose go to the card, then the
// opening command (907 on model 1 with the power check, else 901). The link
// has no handshake: true once the command could be written; a failure has
// been reported. `sleep` paces the card write retries.
bool OpenRemoteConnection(MotionDocument& document, Prompts& prompts,
                          const SleepFunction& sleep = SleepMilliseconds);

// Closes it: playback stops and the card's pose file is cleared, so that
// the robot does not take the last pose up again.
void CloseRemoteConnection(MotionDocument& document, Prompts& prompts);

}  // namespace kz
