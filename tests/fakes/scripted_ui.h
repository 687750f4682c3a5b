#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/motion_document.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/editor_ui.h"
#include "ui/prompts.h"

namespace kz::testing {

// A window's controls held in maps. Every text write raises the change
// notification, as typing and the program's writes do in the real window.
class ScriptedControls : public Controls {
 public:
  struct Control {
    std::string text;
    bool checked = false;
    bool enabled = true;
    int lower = 0;
    int upper = 0;
    int redraws = 0;
  };

  std::string Text(int id) const override;
  void SetText(int id, const std::string& text) override;
  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  bool IsEnabled(int id) const override;
  void Enable(int id, bool enabled) override;
  void Focus(int id) override { focus = id; }
  void SetRange(int spinId, int lower, int upper) override;
  void Redraw(int id) override { ++controls[id].redraws; }
  void RemoveAllTabs(int id) override;
  void InsertTab(int id, int index, const std::string& text) override;
  void SelectTab(int id, int index) override { selectedTab[id] = index; }
  int SelectedTab(int id) const override;
  void StartTimer(int timerId, int) override { timers.insert(timerId); }
  void StopTimer(int timerId) override { timers.erase(timerId); }

  // Test-side views.
  const Control& at(int id) const;
  std::vector<std::string> TabTexts(int id) const;

  std::map<int, Control> controls;
  std::map<int, std::vector<std::string>> tabs;
  std::map<int, int> selectedTab;
  std::set<int> timers;
  int focus = 0;
  std::function<void(int id)> onTextChanged;
};

// The main window for tests: its controls, message boxes answered from a
// queue (every message id shown is logged), file and colour dialogs answered
// from queues.
class ScriptedUi : public ScriptedControls, public Prompts, public Dialogs {
 public:
  struct Shown {
    int id;
    BoxKind kind;
    std::vector<std::string> args;
  };

  using Prompts::ShowMessage;
  Button ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args) override;
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
  std::deque<int> modalCommands;  // control ids fed to a modal dialog in turn
  std::vector<int> modalTemplates;  // the templates of the modal dialogs run
  std::vector<Shown> shown;
  std::vector<FileDialogRequest> fileRequests;
  ScriptedControls modalControls;
};

}  // namespace kz::testing
