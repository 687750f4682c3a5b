#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kz {

// Paths handed to these functions are system text (CP932); they become the
// file system's UTF-8 names here and nowhere else. A path that cannot be
// converted fails like a file that cannot be opened.
std::optional<std::string> NativePath(std::string_view cp932Path);

// The most a whole-file read holds in memory: far beyond any file the
// system writes, small enough that a file that never ends is refused soon.
inline constexpr std::size_t kMaxWholeFileBytes = 32u << 20;

// Reads the whole file into `contents`. Only regular files are read: a
// device, FIFO or folder is refused before anything is read (a FIFO never
// blocks), and so is a file longer than kMaxWholeFileBytes.
bool ReadWholeFile(std::string_view path, std::string& contents);

// Reads at most `maxBytes` bytes from the start of the regular file into
// `contents`; what lies beyond is never read. Callers that must see all of
// a file ask for one byte more than they accept and check the size.
bool ReadWholeFile(std::string_view path, std::string& contents, std::size_t maxBytes);

// Replaces the file with `contents` through a temporary file in the same
// folder, renamed over the target only once everything is written and synced:
// a failure never destroys the previous file. A symbolic link is followed and
// the file it names is replaced (the link stays a link); a device, FIFO or
// folder at the path is refused.
bool WriteFileAtomically(std::string_view path, std::string_view contents);

// Writes all of `data` at `offset` of the open file, through short writes
// and interruptions. The one write loop of the platform layer.
bool WriteFullyAt(int fd, std::uint64_t offset, std::string_view data);

// The replacement step itself, on a file system path (UTF-8): `contents`
// go to a temporary file beside `nativePath`, synced, then renamed over it
// (a link there is replaced, not followed). The new file keeps the old one's
// permissions. With `syncFolder` the folder entry is synced too, so that
// another reader of the device (the robot) finds the new file.
bool ReplaceNativeFile(const std::string& nativePath, std::string_view contents,
                       bool syncFolder = false);

// Opens the file with `flags` (O_CLOEXEC is added) only when it is a regular
// file, following links; never blocks on a FIFO or device, since those are
// refused before and after opening. -1 when it cannot be opened (errno from
// the system) or is not a regular file (errno ENXIO).
int OpenRegularFile(std::string_view path, int flags);

bool FileExists(std::string_view path);
// Anything at all at the path: a file, folder, device, FIFO or link.
bool PathExists(std::string_view path);
bool FolderExists(std::string_view path);

// True when files can be created in the folder.
bool IsWritableFolder(std::string_view path);

}  // namespace kz
