#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kz {

// The root of the file system that holds `path` (system text, CP932): the
// highest folder above it on the same device, with its final separator.
// Empty when the path does not exist or cannot be examined.
std::string FileSystemRootOf(std::string_view path);

// How the card drive's root is found; tests put the card anywhere.
using MountPointFinder = std::function<std::string(std::string_view path)>;

}  // namespace kz
