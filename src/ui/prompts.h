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
  // `args` fill "%1", "%2" ...; they are system text (CP932). `details`
  // (system text) is what the user may want to read beyond the message,
  // such as a library's own English description of a failure; a prompt with
  // no place for them shows the message alone.
  virtual Button ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args,
                             const std::string& details) = 0;

  Button ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args) {
    return ShowMessage(messageId, kind, args, std::string());
  }
  Button ShowMessage(int messageId, BoxKind kind = BoxKind::kOk) {
    return ShowMessage(messageId, kind, {}, std::string());
  }
};

}  // namespace kz
