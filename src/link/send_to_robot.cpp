#include "link/send_to_robot.h"

#include "link/flashair.h"
#include "link/records.h"
#include "link/simulator.h"
#include "platform/card_io.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/simulator_channel.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr int kWriteAttempts = 8;
constexpr int kRetryWaitMs = 100;

}  // namespace

RecordTarget ChooseRecordTarget(const MotionDocument& document) {
  // A known simulator takes the records in place of the robot.
  if (document.simulatorFound) return {RecordTarget::Kind::kFolder, document.remoteFolder};
  if (document.useFlashAir) return {RecordTarget::Kind::kFlashAir, {}};
  if (document.cardFolder.empty()) return {RecordTarget::Kind::kFolder, {}};
  // The card folder is kept with its final separator; one typed without it
  // still names the same folder.
  return {RecordTarget::Kind::kFolder,
          JoinPath(document.cardFolder, kAddonFolderName) + kPathSeparator};
}

bool SendToRobot(MotionDocument& document, Prompts& prompts, int index,
                 const SleepFunction& sleep) {
  const bool isPose = index <= kLastPoseIndex;
  if (isPose && (index < 0 || index >= document.poseCount())) return false;
  const std::string record =
      isPose ? PoseRecord(document, document.motion.poses[static_cast<std::size_t>(index)])
             : CommandRecord(index);
  const std::string name = isPose ? kPoseFileName : kCommandFileName;

  const RecordTarget target = ChooseRecordTarget(document);
  if (target.kind == RecordTarget::Kind::kFlashAir) {
    if (FlashAirUpload(FlashAirCardOf(document, prompts), name, record, true)) return true;
    prompts.ShowMessage(kMsgFlashAirUnreachable);
    return false;
  }

  // Without a card folder the path would be relative to wherever the editor
  // was started: no attempt is worth making.
  if (!target.folder.empty()) {
    const std::string path = target.folder + name;
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
      const CardWriteResult result = WriteCardFile(path, record, CardWrite::kCreateExclusive);
      if (result == CardWriteResult::kWritten) {
        NotifySimulator(document, kSimDataWritten);
        return true;
      }
      // A link or a special file stays what it is: waiting cannot help, and
      // the card folder itself is the right one.
      if (result == CardWriteResult::kRefused) {
        prompts.ShowMessage(kMsgCardFileNotRegular, BoxKind::kExclamation, {path});
        return false;
      }
      sleep(kRetryWaitMs);
    }
  }
  prompts.ShowMessage(kMsgRemoteFileWriteFailed);
  document.cardFolder.clear();
  document.settings().WriteText("REMOTE", "FOLDER_DIRECTORY", "");
  return false;
}

bool ClearPoseFile(MotionDocument& document, Prompts& prompts) {
  const std::string zeros(kPoseRecordSize, '\0');
  const RecordTarget target = ChooseRecordTarget(document);
  if (target.kind == RecordTarget::Kind::kFlashAir) {
    FlashAirUpload(FlashAirCardOf(document, prompts), kPoseFileName, zeros, false);
    return false;
  }
  if (target.folder.empty()) return false;
  // No length limit: a long card path is cleared like any other.
  const std::string path = target.folder + kPoseFileName;
  return FileExists(path) &&
         WriteCardFile(path, zeros, CardWrite::kExistingOnly) == CardWriteResult::kWritten;
}

}  // namespace kz
