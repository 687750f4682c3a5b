#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/console_ui.h"
#include "model/motion_document.h"
#include "ui/editor_ui.h"
#include "ui/memory_controls.h"

namespace kz {

// The options every command takes, before the command's name. Paths are
// system text (CP932).
struct GlobalOptions {
  std::optional<std::string> settingsPath;
  std::optional<std::string> setupPath;
  bool yes = false;
};

// One command's editor without a window: a document on the settings file,
// which it only reads, and controls in memory. Messages go to `messages`.
class CliSession {
 public:
  CliSession(const std::string& settingsPath, const GlobalOptions& options,
             std::FILE* messages = stdout);

  MotionDocument document;
  MemoryControls controls;
  ConsolePrompts prompts;
  PresetDialogs dialogs;
  EditorUi ui{controls, prompts, dialogs};
};

// A path from the command line (UTF-8) as system text; nullopt, after saying
// why on standard error, when it has characters Shift_JIS lacks.
std::optional<std::string> CommandLinePath(const std::string& utf8);

}  // namespace kz
