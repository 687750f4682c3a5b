#include "commands/program_name_checks.h"

#include <string>

#include "formats/program_names.h"
#include "ui/messages.h"

namespace kz {

bool SoundNamesFitProgram(const MotionDocument& document, Prompts& prompts) {
  for (const std::string* name : {&document.motion.startSound, &document.motion.endSound}) {
    if (FitsProgram(*name)) continue;
    prompts.ShowMessage(kMsgSoundNameUnfit, BoxKind::kExclamation, {*name});
    return false;
  }
  return true;
}

bool PoseLabelsFitProgram(const MotionDocument& document, Prompts& prompts) {
  for (int i = 0; i < document.poseCount(); ++i) {
    const std::string& label = document.motion.poses[static_cast<std::size_t>(i)].label;
    if (FitsProgram(label)) continue;
    prompts.ShowMessage(kMsgPoseLabelUnfit, BoxKind::kExclamation, {std::to_string(i + 1), label});
    return false;
  }
  return true;
}

}  // namespace kz
