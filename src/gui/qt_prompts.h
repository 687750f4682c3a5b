#pragma once

#include "ui/prompts.h"

namespace kz {

// Message boxes over the active window, with the icon and buttons of each
// box kind.
class QtPrompts : public Prompts {
 public:
  using Prompts::ShowMessage;
  // The details go behind the box's "Show Details..." button.
  Button ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args,
                     const std::string& details) override;
};

}  // namespace kz
