#include "link/direct_execute.h"

#include "link/flashair.h"
#include "link/records.h"
#include "platform/card_io.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "ui/messages.h"

namespace kz {

bool UploadLocalFile(MotionDocument& document, Prompts& prompts, const std::string& localPath,
                     const std::string& cardName) {
  std::string data;
  if (!ReadWholeFile(localPath, data)) {
    prompts.ShowMessage(kMsgProgramReadFailed);
    return false;
  }
  if (!FlashAirUpload(FlashAirCardOf(document, prompts), cardName, data, true)) {
    prompts.ShowMessage(kMsgFlashAirUnreachable);
    return false;
  }
  return true;
}

bool CopyLocalFileToCard(const MotionDocument& document, Prompts& prompts,
                         const std::string& localPath, const std::string& cardName) {
  const std::string target = JoinPath(JoinPath(document.cardFolder, kAddonFolderName), cardName);
  std::string program;
  const CardWriteResult copied = ReadWholeFile(localPath, program)
                                     ? WriteCardFile(target, program, CardWrite::kCreate)
                                     : CardWriteResult::kFailed;
  if (copied == CardWriteResult::kRefused) {
    prompts.ShowMessage(kMsgCardFileNotRegular, BoxKind::kExclamation, {target});
    return false;
  }
  if (copied != CardWriteResult::kWritten) {
    prompts.ShowMessage(kMsgDirectExecCopyFailed);
    return false;
  }
  return true;
}

}  // namespace kz
