#pragma once

#include <cstdio>
#include <deque>
#include <optional>

#include "ui/dialogs.h"
#include "ui/prompts.h"

namespace kz {

// Message boxes on a terminal: the text is printed (UTF-8) and questions are
// answered from the command line, No unless --yes was given.
class ConsolePrompts : public Prompts {
 public:
  ConsolePrompts(bool answerYes, std::FILE* out) : answerYes_(answerYes), out_(out) {}

  using Prompts::ShowMessage;
  // The details follow the message on a line of their own.
  Button ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args,
                     const std::string& details) override;

 private:
  bool answerYes_;
  std::FILE* out_;
};

// Dialogs answered by the command line: each file dialog takes the next
// path given there; with none left it is cancelled. Colour and other modal
// dialogs are cancelled.
class PresetDialogs : public Dialogs {
 public:
  std::optional<FileDialogAnswer> AskFile(const FileDialogRequest& request) override;
  std::optional<std::uint32_t> AskColor(std::uint32_t) override { return std::nullopt; }
  int RunModal(DialogLogic&) override { return kIdCancel; }

  std::deque<FileDialogAnswer> files;
};

}  // namespace kz
