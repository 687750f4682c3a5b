#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kz {

// Ids of the string table entries the code shows by name.
enum MessageId : int {
  kMsgAboutMenuItem = 101,
  kMsgSetupReadFailed = 103,
  kMsgSaveChanges = 116,
  kMsgProgramReadFailed = 125,
  kMsgProgramWritten = 127,
  kMsgProgramWriteFailed = 130,
  kMsgEditDataReadFailed = 131,
  kMsgEditDataWriteFailed = 132,
  kMsgEditDataWrong = 133,
  kMsgSetupNotLoaded = 134,
  kMsgTravelTimeTooShort = 135,
  kMsgPoseListFull = 136,
  kMsgFixServoLogValues = 152,
  kMsgAddOriginPose = 172,
  kMsgReplaceWithOriginPose = 173,
  kMsgLoopPerPosture = 190,
  kMsgSynchronisedPerPosture = 191,
  kMsgUseAsStartSound = 192,
  kMsgUseAsEndSound = 193,
  kMsgAlreadyPerPosture = 194,
  kMsgModelTwoIgnoresPerPosture = 195,
  // Messages of our own, for failures the robot's tools let pass silently.
  kMsgSoundNameTooLong = 201,
  kMsgPosesBeyondLimitNotRead = 202,
};

// The UTF-8 text of string `id`; empty for an id the table does not hold.
std::string_view MessageText(int id);

// The text of `id` with "%1", "%2" ... replaced by `args` (UTF-8).
std::string FormatMessage(int id, const std::vector<std::string>& args);

}  // namespace kz
