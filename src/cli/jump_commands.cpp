#include "cli/jump_commands.h"

#include <cstdio>
#include <optional>

#include "cli/exit_codes.h"
#include "commands/jump_commands.h"

namespace kz {
namespace {

using Operation = bool (*)(const std::string& path, Prompts& prompts);

// The one file a jump command takes, as system text; nullopt after saying
// what is wrong on standard error.
std::optional<std::string> TheFile(const std::string& command,
                                   const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].starts_with("-")) {
    std::fprintf(stderr, "kzmotion-cli %s: needs exactly one file\n", command.c_str());
    return std::nullopt;
  }
  return CommandLinePath(args[0]);
}

int Run(const std::string& command, Operation operation, const std::string& settingsPath,
        const GlobalOptions& options, const std::vector<std::string>& args) {
  const auto path = TheFile(command, args);
  if (!path) return kBadCommandLine;
  CliSession session(settingsPath, options);
  return operation(*path, session.prompts) ? kDone : kFailed;
}

}  // namespace

int RunRepairJumps(const std::string& settingsPath, const GlobalOptions& options,
                   const std::vector<std::string>& args) {
  return Run("repair-jumps", RepairLoopCounterJumps, settingsPath, options, args);
}

int RunJumpsToNames(const std::string& settingsPath, const GlobalOptions& options,
                    const std::vector<std::string>& args) {
  return Run("jumps-to-names", ConvertJumpsToBlockNames, settingsPath, options, args);
}

int RunNamesToJumps(const std::string& settingsPath, const GlobalOptions& options,
                    const std::vector<std::string>& args) {
  return Run("names-to-jumps", ConvertBlockNamesToJumps, settingsPath, options, args);
}

}  // namespace kz
