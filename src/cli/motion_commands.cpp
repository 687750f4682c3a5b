#include "cli/motion_commands.h"

#include <charconv>
#include <cstdio>

#include "cli/exit_codes.h"
#include "commands/binary_program_commands.h"
#include "commands/edit_data_commands.h"
#include "commands/motion_file_commands.h"
#include "commands/program_commands.h"
#include "commands/program_name_checks.h"
#include "dialogs/ninshiki_dlg.h"
#include "formats/binary_program.h"
#include "formats/edit_data.h"
#include "formats/motion_json.h"
#include "model/standard_values.h"
#include "ui/messages.h"

namespace kz {
namespace {

// The words of one command: its input file, -o OUT and flags.
struct CommandWords {
  std::string input;
  std::string output;
};

// nullopt after saying what is wrong on standard error.
std::optional<CommandWords> ParseWords(const std::string& command,
                                       const std::vector<std::string>& args, bool wantsOutput) {
  CommandWords words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && wantsOutput && i + 1 < args.size()) {
      words.output = args[++i];
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

// The words of the write command: a motion program (model 1) to -o, or a
// binary program (model 2) as a new image to -o or patched into --image for
// recognition number --word.
struct WriteWords {
  std::string input;
  std::string output;
  std::string image;
  bool perPosture = false;
  std::optional<int> model;
  std::optional<int> word;
};

// A whole decimal number within [lowest, highest].
std::optional<int> NumberWord(const std::string& text, int lowest, int highest) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < lowest ||
      value > highest)
    return std::nullopt;
  return value;
}

std::optional<WriteWords> ParseWriteWords(const std::vector<std::string>& args) {
  WriteWords words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    const bool hasValue = i + 1 < args.size();
    if (word == "-o" && hasValue) {
      words.output = args[++i];
    } else if (word == "--image" && hasValue) {
      words.image = args[++i];
    } else if (word == "--model" && hasValue) {
      words.model = NumberWord(args[++i], 1, 2);
      if (!words.model) {
        std::fprintf(stderr, "kzmotion-cli write: --model takes 1 or 2\n");
        return std::nullopt;
      }
    } else if (word == "--word" && hasValue) {
      words.word = NumberWord(args[++i], CNinshikiDlg::kLowestNumber, CNinshikiDlg::kHighestNumber);
      if (!words.word) {
        std::fprintf(stderr,
                     "kzmotion-cli write: --word takes a recognition number from %d to %d\n",
                     CNinshikiDlg::kLowestNumber, CNinshikiDlg::kHighestNumber);
        return std::nullopt;
      }
    } else if (word == "--per-posture") {
      words.perPosture = true;
    } else if (words.input.empty() && !word.starts_with("-")) {
      words.input = word;
    } else {
      std::fprintf(stderr, "kzmotion-cli write: unexpected %s\n", word.c_str());
      return std::nullopt;
    }
  }
  if (words.input.empty()) {
    std::fprintf(stderr, "kzmotion-cli write: needs an input file\n");
    return std::nullopt;
  }
  return words;
}

// Whether the words fit the model; says what is wrong when not.
bool WordsFitModel(const WriteWords& words, int model) {
  const bool patch = !words.image.empty() || words.word;
  const char* problem = nullptr;
  if (model != 2 && (patch || words.output.empty()))
    problem = "a motion program needs -o OUT.KM4 (--image and --word are for --model 2)";
  else if (model == 2 && words.perPosture)
    problem = "--per-posture is for motion programs of model 1";
  else if (model == 2 && patch == !words.output.empty())
    problem = "--model 2 needs either -o NEW.BIN or --image IMAGE.BIN";
  else if (model == 2 && patch && (words.image.empty() || !words.word))
    problem = "--image IMAGE.BIN and --word N go together";
  if (problem) std::fprintf(stderr, "kzmotion-cli write: %s\n", problem);
  return problem == nullptr;
}

// A binary program as a new image or patched into an existing one.
int WriteBinary(CliSession& session, const WriteWords& words) {
  const auto target = CommandLinePath(words.output.empty() ? words.image : words.output);
  if (!target) return kBadCommandLine;
  MotionDocument& document = session.document;
  if (!document.standardValues && !LoadStandardValues(document, session.ui)) return kFailed;
  if (words.output.empty())
    return WriteBinaryProgram(document, session.ui, *target, kDispatchMode, words.word) ? kDone
                                                                                        : kFailed;
  if (!WriteBinaryProgram(document, session.ui, *target, 0)) return kFailed;
  session.prompts.ShowMessage(kMsgBinaryWritten, BoxKind::kOk);
  return kDone;
}

// Loads the input of `read` and `dump`, which turn a motion into something
// else: a motion without a pose (an empty edit-data file) is refused like a
// program without one, so that no existing file is replaced by nothing.
bool LoadMotionWithPoses(CliSession& session, const std::string& path) {
  if (!LoadMotionFile(session.document, session.ui, path)) return false;
  if (session.document.poseCount() > 0) return true;
  session.prompts.ShowMessage(kMsgNotAMotionProgram, BoxKind::kExclamation, {path});
  return false;
}

}  // namespace

int RunWrite(const std::string& settingsPath, const GlobalOptions& options,
             const std::vector<std::string>& args) {
  const auto words = ParseWriteWords(args);
  if (!words) return kBadCommandLine;
  const auto input = CommandLinePath(words->input);
  if (!input) return kBadCommandLine;
  CliSession session(settingsPath, options);
  MotionDocument& document = session.document;
  // The settings' model unless the command line names one.
  if (words->model) document.kazoModel = *words->model;
  const int model = document.kazoModel == 2 ? 2 : 1;
  if (!WordsFitModel(*words, model)) return kBadCommandLine;
  if (!LoadMotionFile(document, session.ui, *input)) return kFailed;
  if (model == 2) return WriteBinary(session, *words);
  const auto output = CommandLinePath(words->output);
  if (!output) return kBadCommandLine;
  // What the window refuses before it asks for the file, then what taking
  // over its editor refuses.
  if (!SoundNamesFitProgram(document, session.prompts) ||
      !PoseLabelsFitProgram(document, session.prompts) ||
      !TravelTimeAccepted(document, session.prompts))
    return kFailed;
  return WriteMotionProgramTo(document, session.ui, *output, words->perPosture) ? kDone : kFailed;
}

int RunRead(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args) {
  const auto words = ParseWords("read", args, true);
  if (!words) return kBadCommandLine;
  const auto input = CommandLinePath(words->input);
  const auto output = CommandLinePath(words->output);
  if (!input || !output) return kBadCommandLine;
  CliSession session(settingsPath, options);
  if (!LoadMotionWithPoses(session, *input)) return kFailed;
  // What taking over the window's editor refuses before it saves.
  if (!TravelTimeAccepted(session.document, session.prompts)) return kFailed;
  return SaveEditDataTo(session.document, session.prompts, *output) == SaveResult::kSaved ? kDone
                                                                                          : kFailed;
}

int RunDump(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args) {
  const auto words = ParseWords("dump", args, false);
  if (!words) return kBadCommandLine;
  const auto input = CommandLinePath(words->input);
  if (!input) return kBadCommandLine;
  // Messages would spoil the JSON on standard output.
  CliSession session(settingsPath, options, stderr);
  if (!LoadMotionWithPoses(session, *input)) return kFailed;
  const std::string json = MotionJson(session.document.motion);
  std::fputs(json.c_str(), stdout);
  return kDone;
}

}  // namespace kz
