#include "cli/log_commands.h"

#include <cstdio>
#include <optional>

#include "cli/exit_codes.h"
#include "commands/edit_data_commands.h"
#include "commands/servo_log_commands.h"
#include "formats/edit_data.h"
#include "formats/servo_logs.h"
#include "link/records.h"
#include "model/editor.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace kz {
namespace {

struct ImportWords {
  std::string folder;
  std::string host;
  std::string output;
};

// nullopt after saying what is wrong on standard error.
std::optional<ImportWords> ParseImportWords(const std::vector<std::string>& args) {
  ImportWords words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      words.output = args[++i];
    } else if (args[i] == "--flashair" && i + 1 < args.size() && words.host.empty() &&
               !args[i + 1].starts_with("-")) {
      words.host = args[++i];
    } else if (words.folder.empty() && !args[i].starts_with("-")) {
      words.folder = args[i];
    } else {
      std::fprintf(stderr, "kzmotion-cli import-logs: unexpected %s\n", args[i].c_str());
      return std::nullopt;
    }
  }
  if (words.folder.empty() == words.host.empty() || words.output.empty()) {
    std::fputs("kzmotion-cli import-logs: needs a FOLDER or --flashair HOST, and -o OUTPUT\n",
               stderr);
    return std::nullopt;
  }
  return words;
}

std::string FirstLogName() { return SystemText("サーボ01.LOG"); }

// The robot records its logs in the card's ADDON folder: the card's own
// folder is taken for it, as is ADDON itself or any folder holding a series.
std::string LogFolder(const std::string& folder) {
  const std::string addon = JoinPath(folder, kAddonFolderName);
  if (FileExists(JoinPath(folder, FirstLogName())) || !FolderExists(addon)) return folder;
  return addon;
}

}  // namespace

int RunImportLogs(const std::string& settingsPath, const GlobalOptions& options,
                  const std::vector<std::string>& args) {
  const auto words = ParseImportWords(args);
  if (!words) return kBadCommandLine;
  const auto output = CommandLinePath(words->output);
  if (!output) return kBadCommandLine;
  std::optional<std::string> folder;
  if (!words->folder.empty()) {
    folder = CommandLinePath(words->folder);
    if (!folder) return kBadCommandLine;
  }

  CliSession session(settingsPath, options);
  MotionDocument& document = session.document;
  // The command line, not the settings, says where the logs are; the series
  // replaces the (empty) motion.
  document.useFlashAir = !folder;
  ServoLogSeries series;
  if (folder) {
    series.firstLog = JoinPath(LogFolder(*folder), FirstLogName());
  } else {
    document.flashAirHost = words->host;
  }
  if (!ImportServoLogSeries(document, session.ui, series)) return kFailed;
  if (document.poseCount() == 0) {
    std::fputs("kzmotion-cli import-logs: no servo log could be read\n", stderr);
    return kFailed;
  }
  // The import shows its first pose; saving takes the editor over first.
  if (!CommitEditor(document, session.ui)) return kFailed;
  if (SaveEditDataTo(document, session.prompts, *output) != SaveResult::kSaved) return kFailed;
  std::printf("%d poses read from the servo logs\n", document.poseCount());
  return kDone;
}

}  // namespace kz
