#include "model/settings_location.h"

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/program_location.h"
#include "platform/text_encoding.h"

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

bool IsUsableSettingsFile(const std::string& path) {
  std::string text;
  return !PathExists(path) || ReadWholeFile(path, text);
}

std::string UnusableSettingsFileText(const std::string& path) {
  return "cannot read the settings file " + Cp932ToUtf8(path).value_or("?") +
         ": it must be a readable regular file of at most " +
         std::to_string(kMaxWholeFileBytes >> 20) + " MiB";
}

}  // namespace kz
