#pragma once

namespace kz::ctl {

// Controls of the main editor window, by the ids every command relies on.
inline constexpr int kClose = 2;
inline constexpr int kReadLogs = 4;
inline constexpr int kWriteProgram = 5;
inline constexpr int kLedDetails = 6;
inline constexpr int kOpenEditData = 7;
inline constexpr int kSaveEditData = 8;
inline constexpr int kStartEndProcessing = 9;
inline constexpr int kAddPose = 10;
inline constexpr int kDeletePose = 11;
inline constexpr int kAdjustAddresses = 12;
inline constexpr int kSwapPose = 13;
inline constexpr int kRemoteSend = 14;
inline constexpr int kCapture = 15;
inline constexpr int kDirectExecute = 16;
inline constexpr int kOriginPose = 17;
inline constexpr int kMirrorLegs = 18;
inline constexpr int kMirrorArms = 19;
inline constexpr int kMirrorHead = 20;
inline constexpr int kMirrorWaist = 21;
inline constexpr int kParameters = 22;

inline constexpr int kFirstServoField = 1004;  // servo k: field 1004 + 2k, spin 1005 + 2k
inline constexpr int kTravelTime = 1044;
inline constexpr int kTravelTimeSpin = 1045;
inline constexpr int kHoldTime = 1046;
inline constexpr int kPoseTabs = 1047;
inline constexpr int kHoldTimeSpin = 1048;
inline constexpr int kStartTime = 1049;
inline constexpr int kStartTimeSpin = 1050;
inline constexpr int kLoopCount = 1052;
inline constexpr int kLoopCountSpin = 1053;
inline constexpr int kBackAndForth = 1054;
inline constexpr int kEyeSwatch = 1055;
inline constexpr int kMouth = 1056;
inline constexpr int kReplay = 1061;
inline constexpr int kRemoteConnection = 1063;
inline constexpr int kSimulator = 1064;
inline constexpr int kStartSync = 1068;

inline constexpr int kServoCount = 20;

// The about box's line that names the version.
inline constexpr int kAboutVersionLine = 1000;

constexpr int ServoField(int k) { return kFirstServoField + 2 * k; }
constexpr int ServoSpin(int k) { return kFirstServoField + 1 + 2 * k; }

// Fields whose edits mark the motion modified: the servo fields, travel time,
// hold time, loop count, and the back-and-forth box. The start time is not
// among them: it reaches the pose only at the next commit.
constexpr bool IsChangeTracked(int id) {
  const bool servoField = id >= ServoField(0) && id <= ServoField(kServoCount - 1) && id % 2 == 0;
  return servoField || id == kTravelTime || id == kHoldTime || id == kLoopCount ||
         id == kBackAndForth;
}

}  // namespace kz::ctl
