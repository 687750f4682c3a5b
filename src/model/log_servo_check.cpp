#include "model/log_servo_check.h"

#include "model/standard_values.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr int kCorrectToOrigin = 1;
constexpr int kReject = 2;

}  // namespace

bool CheckLogServoValues(MotionDocument& document, EditorUi& ui,
                         std::array<std::int16_t, kServoCount>& values) {
  for (std::size_t k = 0; k < values.size(); ++k) {
    if (values[k] >= -1500 && values[k] <= 1500) continue;
    if (document.logFixAnswer == 0) {
      const Button answer = ui.prompts.ShowMessage(kMsgFixServoLogValues, BoxKind::kYesNoQuestion);
      document.logFixAnswer = answer == Button::kYes ? kCorrectToOrigin : kReject;
    }
    if (document.logFixAnswer != kCorrectToOrigin) return false;
    const StandardValues* standard = RequireStandardValues(document, ui);
    if (!standard) return false;
    values[k] = static_cast<std::int16_t>((*standard)[k]);
  }
  return true;
}

}  // namespace kz
