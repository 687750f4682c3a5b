#include "model/settings_location.h"

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/program_location.h"

namespace kz {

std::optional<std::string> ChooseSettingsPath(const std::optional<std::string>& programFolder,
                                              bool programFolderWritable,
                                              const std::optional<std::string>& configFolder) {
  if (programFolder && programFolderWritable) return JoinPath(*programFolder, kSettingsFileName);
  if (!configFolder) return std::nullopt;
  const std::string folder = JoinPath(*configFolder, "KZMotion");
  if (!CreateFolders(folder)) return std::nullopt;
  return JoinPath(folder, kSettingsFileName);
}

std::optional<std::string> LocateSettingsFile(const std::optional<std::string>& overridePath) {
  if (overridePath) return overridePath;
  const auto programFolder = ProgramFolder();
  const bool writable = programFolder && IsWritableFolder(*programFolder);
  return ChooseSettingsPath(programFolder, writable, UserConfigFolder());
}

}  // namespace kz
