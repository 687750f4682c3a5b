#pragma once

#include "ui/dialogs.h"

namespace kz {

// The platform's common dialogs, and modal dialogs run from their templates.
class QtDialogs : public Dialogs {
 public:
  std::optional<FileDialogAnswer> AskFile(const FileDialogRequest& request) override;
  std::optional<std::uint32_t> AskColor(std::uint32_t initial) override;
  int RunModal(DialogLogic& logic) override;
};

}  // namespace kz
