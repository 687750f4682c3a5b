#pragma once

#include <string>
#include <vector>

namespace kz {

// The message box kinds the system uses.
enum class BoxKind {
  kOk,                      // OK, no icon
  kInformation,             // OK, information icon
  kError,                   // OK, error (stop) icon
  kExclamation,             // OK, exclamation icon
  kOkCancel,                // OK and Cancel
  kYesNoQuestion,           // Yes and No, question icon
  kYesNoCancelQuestion,     // Yes, No and Cancel, question icon
  kYesNoCancelExclamation,  // Yes, No and Cancel, exclamation icon
};

enum class Button { kOk, kCancel, kYes, kNo };

// Shows string-table messages and returns the button chosen.
class Prompts {
 public:
  virtual ~Prompts() = default;
  // `args` fill "%1", "%2" ...; they are system text (CP932).
  virtual Button ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args) = 0;

  Button ShowMessage(int messageId, BoxKind kind = BoxKind::kOk) {
    return ShowMessage(messageId, kind, {});
  }
};

}  // namespace kz
