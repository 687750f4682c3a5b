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
  kMsgNoServoLogs = 129,
  kMsgProgramWriteFailed = 130,
  kMsgEditDataReadFailed = 131,
  kMsgEditDataWriteFailed = 132,
  kMsgEditDataWrong = 133,
  kMsgSetupNotLoaded = 134,
  kMsgTravelTimeTooShort = 135,
  kMsgPoseListFull = 136,
  kMsgProgramWrong = 138,
  kMsgNoJumpAddress = 139,
  kMsgJumpsRewritten = 140,
  kMsgTextReadFailed = 141,
  kMsgTooManyJumps = 142,
  kMsgDuplicateBlockName = 143,
  kMsgBlockNameNotFound = 144,
  kMsgJumpsAndBlocksWrong = 145,
  kMsgJumpStillHexadecimal = 146,
  kMsgProgramExists = 147,
  kMsgRemoteFileWriteFailed = 148,
  kMsgServoLogValuesWrong = 149,
  kMsgStartRemoteConnection = 150,
  kMsgDirectExecCopyFailed = 151,
  kMsgFixServoLogValues = 152,
  kMsgCaptureReadFailed = 153,
  kMsgAddCapturedPose = 154,
  kMsgAddCapturedPoseOrReplace = 155,
  kMsgOriginalMainProgram = 157,
  kMsgRemoteFolderMissing = 164,
  kMsgFlashAirFailed = 166,
  kMsgFlashAirUnreachable = 167,
  kMsgFlashAirProgramFailed = 170,
  kMsgNothingCaptured = 171,
  kMsgAddOriginPose = 172,
  kMsgReplaceWithOriginPose = 173,
  kMsgNoBinaryJump = 175,
  kMsgJumpTargetWrong = 177,
  kMsgTextExists = 179,
  kMsgTextWriteFailed = 180,
  kMsgJumpBlockNotFound = 182,
  kMsgLedNeedsPose = 183,
  kMsgEyesAlreadyPattern = 184,
  kMsgNoPoseBlock = 185,
  kMsgLedsRewritten = 186,
  kMsgPatternNoLimit = 187,
  kMsgSimulatorFailed = 189,
  kMsgLoopPerPosture = 190,
  kMsgSynchronisedPerPosture = 191,
  kMsgUseAsStartSound = 192,
  kMsgUseAsEndSound = 193,
  kMsgAlreadyPerPosture = 194,
  kMsgModelTwoIgnoresPerPosture = 195,
  kMsgNoDispatchEntry = 196,
  kMsgBinaryReadFailed = 197,
  kMsgBinaryWritten = 198,
  kMsgWordsReadFailed = 199,
  kMsgEndSoundNeedsWait = 200,
  // Messages of our own, for failures the robot's tools let pass silently.
  kMsgSoundNameTooLong = 201,
  kMsgPosesBeyondLimitNotRead = 202,
  kMsgValueOutOfRange = 203,
  kMsgSoundNameUnfit = 204,
  kMsgPoseLabelUnfit = 205,
  kMsgNotAMotionProgram = 220,
  kMsgJumpsAlreadyRight = 221,
  kMsgNotAProgramText = 222,
  kMsgFlashAirHostInvalid = 240,
  // The kind of a FlashAir failure, for "%1" of message 166.
  kMsgHttpTimedOut = 241,
  kMsgHttpHostNotFound = 242,
  kMsgHttpCannotConnect = 243,
  kMsgHttpCutShort = 244,
  kMsgHttpAborted = 245,
  kMsgHttpOther = 246,
  kMsgHttpStatus = 247,
  kMsgCardRefusedUpload = 248,
  kMsgServoLogDownloadFailed = 249,
  kMsgCardFileNotRegular = 260,
};

// The UTF-8 text of string `id`; empty for an id the table does not hold.
std::string_view MessageText(int id);

// The text of `id` with "%1", "%2" ... replaced by `args` (UTF-8).
std::string FormatMessage(int id, const std::vector<std::string>& args);

}  // namespace kz
