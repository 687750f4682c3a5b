#include "fakes/scripted_ui.h"

#include <gtest/gtest.h>

#include "ui/control_ids.h"

namespace kz::testing {
namespace {

// The next queued answer; `unanswered` (and a test failure) when the test
// queued none.
template <typename Answer>
Answer Next(std::deque<Answer>& queue, Answer unanswered, const std::string& what) {
  if (queue.empty()) {
    ADD_FAILURE() << what << " that the test did not expect";
    return unanswered;
  }
  Answer answer = std::move(queue.front());
  queue.pop_front();
  return answer;
}

}  // namespace

Button ScriptedUi::ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args,
                               const std::string& details) {
  shown.push_back({messageId, kind, args, details});
  switch (kind) {
    case BoxKind::kOk:
    case BoxKind::kInformation:
    case BoxKind::kError:
    case BoxKind::kExclamation:
      return Button::kOk;
    default:
      break;
  }
  return Next(answers, Button::kCancel,
              "message " + std::to_string(messageId) + " asked a question");
}

std::optional<FileDialogAnswer> ScriptedUi::AskFile(const FileDialogRequest& request) {
  fileRequests.push_back(request);
  return Next<std::optional<FileDialogAnswer>>(fileAnswers, std::nullopt, "a file dialog opened");
}

std::optional<std::uint32_t> ScriptedUi::AskColor(std::uint32_t) {
  return Next<std::optional<std::uint32_t>>(colorAnswers, std::nullopt, "a colour dialog opened");
}

int ScriptedUi::RunModal(DialogLogic& logic) {
  modalTemplates.push_back(logic.TemplateId());
  modalControls = ScriptedControls();
  logic.OnInit(modalControls);
  while (!modalSteps.empty()) {
    const ModalStep step = modalSteps.front();
    modalSteps.pop_front();
    if (step.change) step.change(modalControls);
    if (logic.OnEvent(modalControls, step.id, step.event)) return step.id;
  }
  while (!modalCommands.empty()) {
    const int id = modalCommands.front();
    modalCommands.pop_front();
    if (logic.OnEvent(modalControls, id, ControlEvent::kClicked)) return id;
  }
  ADD_FAILURE() << "modal dialog " << logic.TemplateId() << " was never closed";
  return 0;
}

void ScriptedUi::TrackChanges(MotionDocument& document) {
  onTextChanged = [&document](int id) {
    if (ctl::IsChangeTracked(id)) document.modified = true;
  };
}

std::vector<int> ScriptedUi::shownIds() const {
  std::vector<int> ids;
  for (const Shown& entry : shown) ids.push_back(entry.id);
  return ids;
}

}  // namespace kz::testing
