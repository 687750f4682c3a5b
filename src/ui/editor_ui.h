#pragma once

#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/prompts.h"

namespace kz {

// Everything an operation needs of the main editor window.
struct EditorUi {
  Controls& controls;
  Prompts& prompts;
  Dialogs& dialogs;
};

}  // namespace kz
