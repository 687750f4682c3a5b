#include "link/simulator.h"

#include "platform/paths.h"
#include "platform/process.h"
#include "platform/simulator_channel.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr int kSearchTries = 100;
constexpr int kSearchWaitMs = 100;
constexpr std::size_t kSettingCapacity = 260;

}  // namespace

std::string SimulatorPath(const MotionDocument& document) {
  const std::size_t cut = document.iniPath.rfind(kPathSeparator);
  const std::string defaultFolder =
      cut == std::string::npos ? std::string() : document.iniPath.substr(0, cut + 1);
  const std::string folder =
      document.settings().ReadText("SIMULATOR", "FOLDER_PATH", defaultFolder, kSettingCapacity);
  // A folder given with its final separator gives two in a row; the file
  // system takes that as one.
  return folder + kPathSeparator + kSimulatorExecutable;
}

void RememberSimulator(MotionDocument& document, const std::string& exePath) {
  // The folder is stored without its final separator, also when the path
  // came with two in a row; the root keeps its one.
  std::string chosenFolder = exePath.substr(0, exePath.rfind(kPathSeparator) + 1);
  while (chosenFolder.size() > 1 && chosenFolder.back() == kPathSeparator) chosenFolder.pop_back();
  document.settings().WriteText("SIMULATOR", "FOLDER_PATH", chosenFolder);
  if (document.remoteFolder.empty()) document.remoteFolder = TemporaryFolder();
}

bool LaunchSimulator(MotionDocument& document, Prompts& prompts, const std::string& exePath,
                     const SleepFunction& sleep) {
  // A simulator closed earlier is reaped here if it has ended since.
  if (document.simProcess) ProcessRunning(*document.simProcess);
  const auto pid = SpawnProcess(exePath, {kSimulatorExecutable, "-m"});
  if (!pid) {
    prompts.ShowMessage(kMsgSimulatorFailed, BoxKind::kOk);
    return false;
  }
  document.simProcess = *pid;
  for (int attempt = 0; attempt < kSearchTries && !document.simulatorFound; ++attempt) {
    sleep(kSearchWaitMs);
    document.simulatorFound = SimulatorSocketExists(*pid);
  }
  return true;
}

void CloseSimulator(MotionDocument& document) {
  if (!document.simProcess) return;
  if (document.simulatorFound) PostToSimulator(*document.simProcess, kSimCloseRequest);
  document.simulatorFound = false;
  ProcessRunning(*document.simProcess);
}

void NotifySimulator(const MotionDocument& document, int value) {
  if (document.simulatorFound && document.simProcess)
    PostToSimulator(*document.simProcess, static_cast<std::uint16_t>(value));
}

}  // namespace kz
