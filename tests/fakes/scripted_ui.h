#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/motion_document.h"
#include "ui/dialogs.h"
#include "ui/editor_ui.h"
#include "ui/memory_controls.h"
#include "ui/prompts.h"

namespace kz::testing {

// The window's controls for tests: held in memory.
using ScriptedControls = MemoryControls;

// The main window for tests: its controls, message boxes answered from a
// queue (every message id shown is logged), file and colour dialogs answered
// from queues.
class ScriptedUi : public ScriptedControls, public Prompts, public Dialogs {
 public:
  struct Shown {
    int id;
    BoxKind kind;
    std::vector<std::string> args;
    std::string details;
  };

  using Prompts::ShowMessage;
  Button ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args,
                     const std::string& details) override;
  std::optional<FileDialogAnswer> AskFile(const FileDialogRequest& request) override;
  std::optional<std::uint32_t> AskColor(std::uint32_t initial) override;
  int RunModal(DialogLogic& logic) override;

  // Marks `document` modified on edits of the tracked fields, as the main
  // window does.
  void TrackChanges(MotionDocument& document);

  EditorUi ui() { return EditorUi{*this, *this, *this}; }
  std::vector<int> shownIds() const;

  std::deque<Button> answers;                               // for questions
  std::deque<std::optional<FileDialogAnswer>> fileAnswers;  // nullopt = Cancel
  std::deque<std::optional<std::uint32_t>> colorAnswers;
  // A user's action in a modal dialog: `change` alters its controls as the
  // user would (types, ticks a box, picks an entry), then `event` reaches `id`.
  struct ModalStep {
    std::function<void(ScriptedControls&)> change;
    int id;
    ControlEvent event = ControlEvent::kClicked;
  };
  std::deque<ModalStep> modalSteps;  // run before modalCommands
  std::deque<int> modalCommands;     // control ids fed to a modal dialog in turn
  std::vector<int> modalTemplates;   // the templates of the modal dialogs run
  std::vector<Shown> shown;
  std::vector<FileDialogRequest> fileRequests;
  ScriptedControls modalControls;
};

}  // namespace kz::testing
