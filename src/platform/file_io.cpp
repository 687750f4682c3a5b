#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace kz {
namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool StatIs(std::string_view path, mode_t type) {
  const auto native = NativePath(path);
  struct stat info {};
  return native && ::stat(native->c_str(), &info) == 0 && (info.st_mode & S_IFMT) == type;
}

}  // namespace

std::optional<std::string> NativePath(std::string_view cp932Path) {
  if (cp932Path.empty() || cp932Path.find('\0') != std::string_view::npos) return std::nullopt;
  return Cp932ToUtf8(cp932Path);
}

bool ReadWholeFile(std::string_view path, std::string& contents, std::size_t maxBytes) {
  const auto native = NativePath(path);
  if (!native) return false;
  const int fd = ::open(native->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string data;
  char buffer[65536];
  bool ok = true;
  while (data.size() < maxBytes) {
    const std::size_t want = std::min(sizeof buffer, maxBytes - data.size());
    const ssize_t got = ::read(fd, buffer, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (got == 0) break;
    data.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (ok) contents = std::move(data);
  return ok;
}

bool WriteFileAtomically(std::string_view path, std::string_view contents) {
  const auto native = NativePath(path);
  if (!native) return false;
  std::string temp = *native + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  // Keep the permissions a replaced file had; a new one gets the usual 0666 & ~umask.
  struct stat old {};
  if (::stat(native->c_str(), &old) == 0) {
    ::fchmod(fd, old.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  const bool written = WriteAll(fd, contents) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), native->c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool FileExists(std::string_view path) { return StatIs(path, S_IFREG); }

bool FolderExists(std::string_view path) { return StatIs(path, S_IFDIR); }

bool IsWritableFolder(std::string_view path) {
  const auto native = NativePath(path);
  return native && FolderExists(path) && ::access(native->c_str(), W_OK | X_OK) == 0;
}

}  // namespace kz
