#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace kz {

// Paths handed to these functions are system text (CP932); they become the
// file system's UTF-8 names here and nowhere else. A path that cannot be
// converted fails like a file that cannot be opened.
std::optional<std::string> NativePath(std::string_view cp932Path);

// Reads at most `maxBytes` bytes of the file into `contents`.
bool ReadWholeFile(std::string_view path, std::string& contents,
                   std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// Replaces the file with `contents` through a temporary file in the same
// folder, renamed over the target only once everything is written and synced:
// a failure never destroys the previous file.
bool WriteFileAtomically(std::string_view path, std::string_view contents);

bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);

// True when files can be created in the folder.
bool IsWritableFolder(std::string_view path);

}  // namespace kz
