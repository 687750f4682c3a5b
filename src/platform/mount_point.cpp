#include "platform/mount_point.h"

#include <sys/stat.h>

#include <filesystem>

#include "platform/file_io.h"
#include "platform/text_encoding.h"

namespace kz {

std::string FileSystemRootOf(std::string_view path) {
  const auto native = NativePath(path);
  if (!native || native->empty()) return {};
  std::error_code error;
  std::filesystem::path current = std::filesystem::canonical(*native, error);
  if (error) return {};
  struct stat info {};
  if (::stat(current.c_str(), &info) != 0) return {};
  const dev_t device = info.st_dev;
  // Climb while the parent still lies on the same device; the first folder
  // whose parent does not (or the file system's root) is the mount point.
  while (current.has_parent_path() && current.parent_path() != current) {
    const std::filesystem::path parent = current.parent_path();
    struct stat parentInfo {};
    if (::stat(parent.c_str(), &parentInfo) != 0 || parentInfo.st_dev != device) break;
    current = parent;
  }
  const auto text = Utf8ToCp932(current.string());
  if (!text) return {};
  return text->ends_with('/') ? *text : *text + '/';
}

}  // namespace kz
