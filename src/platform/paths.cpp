#include "platform/paths.h"

namespace kz {

std::string FolderOf(std::string_view path) {
  const auto cut = path.rfind(kPathSeparator);
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string FileNameOf(std::string_view path) {
  const auto cut = path.rfind(kPathSeparator);
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (!joined.empty() && joined.back() != kPathSeparator) joined += kPathSeparator;
  joined += name;
  return joined;
}

}  // namespace kz
