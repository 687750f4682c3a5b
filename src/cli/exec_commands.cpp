#include "cli/exec_commands.h"

#include <cstdio>
#include <optional>

#include "cli/exit_codes.h"
#include "commands/direct_execute_commands.h"
#include "commands/motion_file_commands.h"
#include "link/direct_execute.h"
#include "link/records.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "ui/messages.h"

namespace kz {
namespace {

struct ExecWords {
  std::string input;
  std::string card;
  std::string host;
  std::optional<int> model;
};

std::optional<ExecWords> ParseExecWords(const std::vector<std::string>& args) {
  ExecWords words;
  const auto fail = [](const std::string& why) {
    std::fprintf(stderr, "kzmotion-cli exec: %s\n", why.c_str());
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    const bool hasValue = i + 1 < args.size();
    if (word == "--card" && hasValue) {
      words.card = args[++i];
    } else if (word == "--flashair" && hasValue) {
      words.host = args[++i];
    } else if (word == "--model" && hasValue) {
      const std::string& value = args[++i];
      if (value != "1" && value != "2") return fail("--model takes 1 or 2, not " + value);
      words.model = value == "2" ? 2 : 1;
    } else if (words.input.empty() && !word.starts_with("-")) {
      words.input = word;
    } else {
      return fail("unexpected " + word);
    }
  }
  if (words.input.empty()) return fail("needs a program (model 1) or a motion file (model 2)");
  if (words.card.empty() == words.host.empty())
    return fail("needs either --card FOLDER or --flashair HOST");
  return words;
}

}  // namespace

int RunExec(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args) {
  const auto words = ParseExecWords(args);
  if (!words) return kBadCommandLine;
  const auto input = CommandLinePath(words->input);
  if (!input) return kBadCommandLine;
  CliSession session(settingsPath, options);
  MotionDocument& document = session.document;
  if (words->model) document.kazoModel = *words->model;

  if (!words->host.empty()) {
    document.useFlashAir = true;
    document.flashAirHost = words->host;
  } else {
    const auto card = CommandLinePath(words->card);
    if (!card) return kBadCommandLine;
    document.useFlashAir = false;
    document.cardFolder = JoinPath(*card, "");  // with its final separator
    // The robot's command file lives in ADDON; without it nothing would run.
    if (!FolderExists(document.cardFolder + kAddonFolderName)) {
      session.prompts.ShowMessage(kMsgRemoteFolderMissing, BoxKind::kExclamation);
      return kFailed;
    }
  }

  if (document.kazoModel == 2) {
    if (!OpenMotionFile(document, session.ui, *input)) return kFailed;
    if (!DirectExecuteMotion(document, session.ui)) return kFailed;
  } else if (!DirectExecuteProgram(document, session.ui, *input)) {
    return kFailed;
  }
  std::printf("executing %s\n", words->input.c_str());
  return kDone;
}

}  // namespace kz
