#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/motion.h"
#include "model/pose.h"
#include "model/settings.h"

namespace kz {

// One entry of the voice-recognition word list.
struct RecognitionWord {
  std::string text;  // CP932
  std::int16_t number = 0;
};

// The editing session: the one motion being edited (what is saved), and
// what only lives while it is edited: the pose shown, playback, the robot
// link, and the settings the editor works by.
class MotionDocument {
 public:
  // Reads KAZO_MODEL and MAX_POSE from the settings file at `iniPath`; the
  // other settings are read by LoadEditorSettings.
  explicit MotionDocument(std::string iniPath);
  // Clears the card's pose file and closes a launched simulator (through the
  // hooks the robot link installs), then releases everything.
  ~MotionDocument();

  MotionDocument(const MotionDocument&) = delete;
  MotionDocument& operator=(const MotionDocument&) = delete;

  Settings settings() const { return Settings(iniPath, settingsReadOnly); }
  int poseCount() const { return motion.poseCount(); }
  Pose& current() { return motion.poses[static_cast<std::size_t>(currentPose)]; }
  bool hasCurrentPose() const { return currentPose >= 0 && currentPose < poseCount(); }

  bool slowCheck = false;
  std::int32_t kazoModel = 1;
  bool modified = false;
  std::string iniPath;
  bool settingsReadOnly = false;  // true in the command-line tool
  std::int32_t currentPose = -1;
  // Never more than maxPose poses.
  Motion motion;
  std::int32_t playPose = 0;
  std::int32_t playRepeat = 0;
  bool playing = false;
  bool playBackward = false;
  // When the next pose of the playback is due, on the monotonic clock.
  std::chrono::steady_clock::time_point playDue;
  std::int32_t slowRatio = 5;
  std::int32_t defaultTravelTime = 60;
  std::int32_t defaultHoldTime = 60;
  std::uint32_t defaultLedColor = 0x000080FF;
  std::string cardFolder;
  std::string remoteFolder;
  bool useFlashAir = false;
  std::string flashAirHost = "flashair";  // "host" or "host:port" of the Wi-Fi card
  bool powerCheck = false;
  std::int32_t programTorque = 80;
  std::optional<StandardValues> standardValues;
  // A setup file chosen for this run only (CP932): it stands in for the one
  // in the settings until the user picks another.
  std::optional<std::string> setupOverride;
  std::optional<int> simProcess;  // process id of the launched simulator
  bool simulatorFound = false;    // the simulator's socket was found
  std::string editDataPath;
  std::string logPath;
  std::int32_t logFixAnswer = 0;  // 0 not asked yet, 1 correct to origin, 2 reject
  std::int32_t jumpsToBlockNames = 0;
  bool speedCheck = true;
  std::int32_t maxPose = 180;
  std::vector<RecognitionWord> words;
  bool wordsLoaded = false;  // "Ninshiki.csv" is read once per document

  // Filled in by the robot link. Clearing the card's pose file and closing
  // the simulator happen when the document goes away.
  std::function<void(MotionDocument&)> clearPoseFile;
  std::function<void(MotionDocument&)> closeSimulator;
  // Downloads a card file over Wi-Fi, at most `maxBytes`; false on failure
  // (the transport reports its own error).
  std::function<bool(MotionDocument&, const std::string& fileName, std::string& contents,
                     std::size_t maxBytes)>
      flashAirDownload;
};

}  // namespace kz
