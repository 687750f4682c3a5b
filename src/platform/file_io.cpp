#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace kz {
namespace {

// As the kernel's own limit on the links of one path.
constexpr int kMaxLinkHops = 40;

bool StatIs(std::string_view path, mode_t type) {
  const auto native = NativePath(path);
  struct stat info {};
  return native && ::stat(native->c_str(), &info) == 0 && (info.st_mode & S_IFMT) == type;
}

// Reads from the regular file's start, at most `limit` bytes.
bool ReadUpTo(int fd, std::size_t limit, std::size_t expected, std::string& data) {
  data.reserve(std::min(limit, expected));
  char buffer[65536];
  while (data.size() < limit) {
    const std::size_t want = std::min(sizeof buffer, limit - data.size());
    const ssize_t got = ::read(fd, buffer, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    data.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

// `allowLonger`: the first `maxBytes` of a longer file are the result;
// otherwise a longer file fails.
bool ReadRegularFile(std::string_view path, std::string& contents, std::size_t maxBytes,
                     bool allowLonger) {
  const int fd = OpenRegularFile(path, O_RDONLY);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0;
  const auto size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
  // Refused without reading; the limit on the read below also holds for a
  // file that grows meanwhile or reports no size (as /proc does).
  if (!allowLonger && size > maxBytes) ok = false;
  std::string data;
  const std::size_t limit = allowLonger ? maxBytes : maxBytes + 1;
  if (ok)
    ok = ReadUpTo(fd, limit, static_cast<std::size_t>(std::min<std::uint64_t>(size, limit)), data);
  ::close(fd);
  if (ok && !allowLonger && data.size() > maxBytes) ok = false;
  if (ok) contents = std::move(data);
  return ok;
}

// The file `native` names once the symbolic links at its end are followed:
// a regular file or nothing yet. nullopt for anything else there (a device,
// FIFO, folder, socket) and for links that go round.
std::optional<std::string> FollowLinks(std::string native) {
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(native.c_str(), &info) != 0)
      return errno == ENOENT ? std::optional<std::string>(native) : std::nullopt;
    if (S_ISREG(info.st_mode)) return native;
    if (!S_ISLNK(info.st_mode)) return std::nullopt;
    char target[4096];
    const ssize_t length = ::readlink(native.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof target) return std::nullopt;
    const std::string link(target, static_cast<std::size_t>(length));
    // A relative link is relative to the folder holding it.
    native = link.front() == '/' ? link : FolderOf(native) + link;
  }
  return std::nullopt;
}

void SyncFolderOf(const std::string& native) {
  const std::string folder = FolderOf(native);
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // Some file systems cannot sync a folder; the file's own data is synced.
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::optional<std::string> NativePath(std::string_view cp932Path) {
  if (cp932Path.empty() || cp932Path.find('\0') != std::string_view::npos) return std::nullopt;
  return Cp932ToUtf8(cp932Path);
}

int OpenRegularFile(std::string_view path, int flags) {
  const auto native = NativePath(path);
  struct stat info {};
  if (!native || ::stat(native->c_str(), &info) != 0) return -1;
  if (!S_ISREG(info.st_mode)) {
    errno = ENXIO;
    return -1;
  }
  // Non-blocking, should a FIFO have taken the file's place since.
  const int fd = ::open(native->c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  const int status = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || status < 0 ||
      ((flags & O_NONBLOCK) == 0 && ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0)) {
    ::close(fd);
    errno = ENXIO;
    return -1;
  }
  return fd;
}

bool ReadWholeFile(std::string_view path, std::string& contents) {
  return ReadRegularFile(path, contents, kMaxWholeFileBytes, false);
}

bool ReadWholeFile(std::string_view path, std::string& contents, std::size_t maxBytes) {
  return ReadRegularFile(path, contents, maxBytes, true);
}

bool WriteFullyAt(int fd, std::uint64_t offset, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::pwrite(fd, data.data(), data.size(), static_cast<off_t>(offset));
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
    offset += static_cast<std::uint64_t>(written);
  }
  return true;
}

bool ReplaceNativeFile(const std::string& nativePath, std::string_view contents, bool syncFolder) {
  std::string temp = nativePath + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  // Keep the permissions a replaced file had; a new one gets the usual 0666 & ~umask.
  struct stat old {};
  if (::lstat(nativePath.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(fd, old.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  const bool written = WriteFullyAt(fd, 0, contents) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), nativePath.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  if (syncFolder) SyncFolderOf(nativePath);
  return true;
}

bool WriteFileAtomically(std::string_view path, std::string_view contents) {
  const auto native = NativePath(path);
  if (!native) return false;
  const auto target = FollowLinks(*native);
  return target && ReplaceNativeFile(*target, contents);
}

bool FileExists(std::string_view path) { return StatIs(path, S_IFREG); }

bool PathExists(std::string_view path) {
  const auto native = NativePath(path);
  struct stat info {};
  return native && ::lstat(native->c_str(), &info) == 0;
}

bool FolderExists(std::string_view path) { return StatIs(path, S_IFDIR); }

bool IsWritableFolder(std::string_view path) {
  const auto native = NativePath(path);
  return native && FolderExists(path) && ::access(native->c_str(), W_OK | X_OK) == 0;
}

}  // namespace kz
