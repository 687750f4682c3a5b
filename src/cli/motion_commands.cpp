#include "cli/motion_commands.h"

#include <cstdio>

#include "formats/edit_data.h"
#include "formats/motion_file.h"
#include "formats/motion_json.h"
#include "formats/program_writer.h"
#include "ui/control_ids.h"

namespace kz {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

// The words of one command: its input file, -o OUT and flags.
struct CommandWords {
  std::string input;
  std::string output;
  bool perPosture = false;
};

// nullopt after saying what is wrong on standard error.
std::optional<CommandWords> ParseWords(const std::string& command,
                                       const std::vector<std::string>& args, bool wantsOutput,
                                       bool takesPerPosture) {
  CommandWords words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && wantsOutput && i + 1 < args.size()) {
      words.output = args[++i];
    } else if (args[i] == "--per-posture" && takesPerPosture) {
      words.perPosture = true;
    } else if (words.input.empty() && !args[i].starts_with("-")) {
      words.input = args[i];
    } else {
      std::fprintf(stderr, "kzmotion-cli %s: unexpected %s\n", command.c_str(), args[i].c_str());
      return std::nullopt;
    }
  }
  if (words.input.empty() || (wantsOutput && words.output.empty())) {
    std::fprintf(stderr, "kzmotion-cli %s: %s\n", command.c_str(),
                 wantsOutput ? "needs an input file and -o OUTPUT" : "needs a file");
    return std::nullopt;
  }
  return words;
}

}  // namespace

int RunWrite(const std::string& settingsPath, const GlobalOptions& options,
             const std::vector<std::string>& args) {
  const auto words = ParseWords("write", args, true, true);
  if (!words) return kBadCommandLine;
  const auto input = CommandLinePath(words->input);
  const auto output = CommandLinePath(words->output);
  if (!input || !output) return kBadCommandLine;
  CliSession session(settingsPath, options);
  if (!OpenMotionFile(session.document, session.ui, *input)) return kFailed;
  session.dialogs.files.push_back(FileDialogAnswer{*output, words->perPosture});
  return WriteMotionProgram(session.document, session.ui) ? kDone : kFailed;
}

int RunRead(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args) {
  const auto words = ParseWords("read", args, true, false);
  if (!words) return kBadCommandLine;
  const auto input = CommandLinePath(words->input);
  const auto output = CommandLinePath(words->output);
  if (!input || !output) return kBadCommandLine;
  CliSession session(settingsPath, options);
  if (!OpenMotionFile(session.document, session.ui, *input)) return kFailed;
  session.dialogs.files.push_back(FileDialogAnswer{*output, false});
  return SaveEditData(session.document, session.ui) == SaveResult::kSaved ? kDone : kFailed;
}

int RunDump(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args) {
  const auto words = ParseWords("dump", args, false, false);
  if (!words) return kBadCommandLine;
  const auto input = CommandLinePath(words->input);
  if (!input) return kBadCommandLine;
  // Messages would spoil the JSON on standard output.
  CliSession session(settingsPath, options, stderr);
  if (!OpenMotionFile(session.document, session.ui, *input)) return kFailed;
  const std::string json =
      MotionJson(session.document, session.controls.ReadNumber(ctl::kLoopCount),
                 session.controls.IsChecked(ctl::kBackAndForth));
  std::fputs(json.c_str(), stdout);
  return kDone;
}

}  // namespace kz
