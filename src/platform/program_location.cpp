#include "platform/program_location.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace kz {

std::optional<std::string> ProgramFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return std::nullopt;
  const auto cp932 = Utf8ToCp932(std::string_view(buffer, static_cast<std::size_t>(length)));
  if (!cp932) return std::nullopt;
  return FolderOf(*cp932);
}

std::optional<std::string> UserConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return Utf8ToCp932(xdg);
  const char* home = std::getenv("HOME");
  if (!home || *home != '/') return std::nullopt;
  const auto folder = Utf8ToCp932(home);
  if (!folder) return std::nullopt;
  return JoinPath(*folder, ".config");
}

bool CreateFolders(const std::string& path) {
  const auto native = NativePath(path);
  if (!native) return false;
  for (std::size_t cut = 1; cut <= native->size(); ++cut) {
    if (cut != native->size() && (*native)[cut] != '/') continue;
    const std::string prefix = native->substr(0, cut);
    if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return FolderExists(path);
}

}  // namespace kz
