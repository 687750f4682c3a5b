#include "link/link_hooks.h"

#include "link/flashair.h"
#include "link/send_to_robot.h"
#include "link/simulator.h"

namespace kz {

void InstallFlashAirDownload(MotionDocument& document, Prompts& prompts) {
  document.flashAirDownload = [&prompts](MotionDocument& doc, const std::string& fileName,
                                         std::string& contents, std::size_t maxBytes) {
    // A missing file or a failed download leaves nothing to read.
    return FlashAirFetch(FlashAirCardOf(doc, prompts), fileName, contents, maxBytes) ==
           CardFile::kRead;
  };
}

void InstallPoseFileClearing(MotionDocument& document, Prompts& prompts) {
  document.clearPoseFile = [&prompts](MotionDocument& doc) { ClearPoseFile(doc, prompts); };
}

void InstallSimulatorClosing(MotionDocument& document) {
  document.closeSimulator = [](MotionDocument& doc) { CloseSimulator(doc); };
}

}  // namespace kz
