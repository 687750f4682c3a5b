#include "link/remote_connection.h"

#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "link/flashair.h"
#include "link/records.h"
#include "link/send_to_robot.h"
#include "platform/card_io.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr std::size_t kPathCapacity = 260;
constexpr std::size_t kListingCapacity = 4096;
constexpr int kStockMainProgramSize = 78087;
constexpr const char* kListingPath = "command.cgi?op=100&DIR=/";

// The robot's main program that runs the remote connection, as the card's
// listing names it (UTF-8).
constexpr std::string_view kMainProgramFile =
    "main5_InitFlag確認補完無し_シーン1固定0415_test2.KM4";

// The card's folder ADDON and a file in it. A card folder typed without its
// final separator names the same folder, as for the record files.
std::string AddonFolder(const std::string& cardFolder) {
  return JoinPath(cardFolder, kAddonFolderName);
}
std::string AddonPath(const std::string& cardFolder, std::string_view name) {
  return JoinPath(AddonFolder(cardFolder), name);
}

// The folder above the one that holds the picked file, with its final
// separator: the file's folder is taken to be ADDON, unchecked.
std::string CardFolderOf(const std::string& remoteFile) {
  const std::string addon = FolderOf(remoteFile);
  if (addon.empty()) return std::string();
  return FolderOf(std::string_view(addon).substr(0, addon.size() - 1));
}

void RememberCardFolder(const MotionDocument& document) {
  document.settings().WriteText("REMOTE", "FOLDER_DIRECTORY", document.cardFolder);
}

// The size the listing gives the main program: the decimal number one
// character after its name; 0 when the name is not listed.
int MainProgramSize(std::string_view listing) {
  const std::size_t at = listing.find(kMainProgramFile);
  if (at == std::string_view::npos) return 0;
  const std::size_t sizeAt = at + kMainProgramFile.size() + 1;
  if (sizeAt >= listing.size()) return 0;
  // A copy ends the number where the listing ends.
  const std::string rest(listing.substr(sizeAt, 32));
  const long size = std::strtol(rest.c_str(), nullptr, 10);
  if (size > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (size < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(size);
}

// Model 2 starts from an empty capture and a first pose: travel time 60,
// torque 80 and servo ID 2 at 9999, or only the power byte when the servos
// keep their power.
std::string FirstModelTwoPose(bool powerCheck) {
  std::string record(kPoseRecordSize, '\0');
  if (powerCheck) {
    record[0] = 0x01;
  } else {
    record[0] = 0x3C;
    record[1] = 0x50;
    record[2] = 0x0F;
    record[3] = 0x27;
  }
  return record;
}

// Failures go unreported: the opening command that follows tells whether the
// card can be written.
void PrepareModelTwo(MotionDocument& document, Prompts& prompts) {
  const std::string empty(kCaptureRecordSize, '\0');
  const std::string pose = FirstModelTwoPose(document.powerCheck);
  if (document.useFlashAir) {
    const FlashAirCard card = FlashAirCardOf(document, prompts);
    FlashAirUpload(card, kCaptureFileName, empty, true);
    FlashAirUpload(card, kPoseFileName, pose, true);
  } else {
    WriteCardFile(AddonPath(document.cardFolder, kCaptureFileName), empty, CardWrite::kCreate);
    WriteCardFile(AddonPath(document.cardFolder, kPoseFileName), pose, CardWrite::kCreate);
  }
}

}  // namespace

std::string RemoteFilePath(const std::string& cardFolder) {
  return AddonPath(cardFolder, kCommandFileName);
}

FileDialogRequest RemoteFileRequest(const std::string& initialName) {
  FileDialogRequest request;
  request.open = true;
  request.defaultExtension = "LOG";
  request.initialName = initialName;
  request.filter = SystemText("ﾘﾓｰﾄ接続ﾌｧｲﾙ|REMOTE.LOG||");
  return request;
}

void TakeRemoteFile(MotionDocument& document, const std::string& remoteFile) {
  document.cardFolder = CardFolderOf(remoteFile);
  RememberCardFolder(document);
}

void RecallCardFolder(MotionDocument& document) {
  if (document.cardFolder.empty())
    document.cardFolder =
        document.settings().ReadText("REMOTE", "FOLDER_DIRECTORY", "", kPathCapacity);
}

bool CheckCardFolder(const MotionDocument& document, Prompts& prompts) {
  // An empty folder would send the check to the working folder.
  if (!document.cardFolder.empty() && FolderExists(AddonFolder(document.cardFolder))) return true;
  prompts.ShowMessage(kMsgRemoteFolderMissing, BoxKind::kExclamation);
  return false;
}

bool LocateCardFolder(MotionDocument& document, Prompts& prompts, Dialogs& dialogs) {
  RecallCardFolder(document);
  const std::string probe = RemoteFilePath(document.cardFolder);
  if (document.cardFolder.empty() || !FileExists(probe)) {
    const auto answer = dialogs.AskFile(RemoteFileRequest(probe));
    if (!answer) return false;
    TakeRemoteFile(document, answer->path);
  }
  return CheckCardFolder(document, prompts);
}

bool CheckFlashAirCard(MotionDocument& document, Prompts& prompts) {
  const FlashAirCard card = FlashAirCardOf(document, prompts);
  std::string listing;
  if (!FlashAirGet(card, kListingPath, listing, kListingCapacity, true)) {
    prompts.ShowMessage(kMsgFlashAirUnreachable, BoxKind::kOk);
    return false;
  }
  // Only the start of a long listing is searched.
  if (listing.size() > kListingCapacity) listing.resize(kListingCapacity);
  const int size = MainProgramSize(listing);
  const int stockSize =
      document.settings().ReadInt("REMOTE", "MAIN_PROGRAM_SIZE", kStockMainProgramSize);
  if (document.kazoModel == 1 && (size == 0 || size == stockSize)) {
    prompts.ShowMessage(kMsgOriginalMainProgram, BoxKind::kExclamation);
    return false;
  }
  std::string addon;
  if (!FlashAirGet(card, std::string(kListingPath) + kAddonFolderName, addon, kListingCapacity,
                   true)) {
    prompts.ShowMessage(kMsgFlashAirProgramFailed, BoxKind::kOk);
    return false;
  }
  document.useFlashAir = true;
  document.settings().WriteText("REMOTE", "FLASH_AIR", "1");
  return true;
}

bool OpenRemoteConnection(MotionDocument& document, Prompts& prompts, const SleepFunction& sleep) {
  if (document.kazoModel == 2 && !document.simProcess) PrepareModelTwo(document, prompts);
  const int command =
      document.powerCheck && document.kazoModel == 1 ? kCommandConnectPower : kCommandConnect;
  return SendToRobot(document, prompts, command, sleep);
}

void CloseRemoteConnection(MotionDocument& document, Prompts& prompts) {
  document.playing = false;
  ClearPoseFile(document, prompts);
}

}  // namespace kz
