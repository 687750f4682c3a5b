#include "platform/card_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_io.h"

namespace kz {
namespace {

// Closes on scope exit, so that every early return releases the file.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }

 private:
  int fd_;
};

// O_DIRECT wants the buffer aligned to the device's block; a page covers
// every block size in use.
struct alignas(4096) SectorBuffer {
  char bytes[kCardSectorSize];
};

// One read of a sector; -1 on failure with errno set.
ssize_t ReadSector(int fd, SectorBuffer& buffer) {
  for (;;) {
    const ssize_t got = ::read(fd, buffer.bytes, sizeof buffer.bytes);
    if (got >= 0 || errno != EINTR) return got;
  }
}

// Another program writing the file holds it exclusively; reading it then
// would give a half-written record.
bool LockShared(int fd) { return ::flock(fd, LOCK_SH | LOCK_NB) == 0; }

}  // namespace

CardWriteResult WriteCardFile(std::string_view path, std::string_view data, CardWrite mode) {
  const auto native = NativePath(path);
  if (!native) return CardWriteResult::kFailed;
  struct stat info {};
  const bool exists = ::lstat(native->c_str(), &info) == 0;
  if (!exists && (errno != ENOENT || mode == CardWrite::kExistingOnly))
    return CardWriteResult::kFailed;
  if (exists && S_ISDIR(info.st_mode)) return CardWriteResult::kFailed;
  if (exists && !S_ISREG(info.st_mode)) return CardWriteResult::kRefused;
  // The lock is taken on the file in place and held until the new one has
  // replaced it, so that a refused write leaves the file whole.
  Descriptor current(
      exists ? ::open(native->c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK) : -1);
  if (exists && current.get() < 0)
    return errno == ELOOP ? CardWriteResult::kRefused : CardWriteResult::kFailed;
  if (exists && mode == CardWrite::kCreateExclusive &&
      ::flock(current.get(), LOCK_EX | LOCK_NB) != 0)
    return CardWriteResult::kFailed;
  return ReplaceNativeFile(*native, data, true) ? CardWriteResult::kWritten
                                                : CardWriteResult::kFailed;
}

std::optional<std::string> ReadCardSector(std::string_view path, SectorRead mode) {
  SectorBuffer buffer;
  if (mode == SectorRead::kDirect) {
    Descriptor file(OpenRegularFile(path, O_RDONLY | O_DIRECT));
    // EINVAL: the file system does not do direct reads (at open or at the read).
    if (file.get() < 0 && errno != EINVAL) return std::nullopt;
    if (file.get() >= 0) {
      if (!LockShared(file.get())) return std::nullopt;
      const ssize_t got = ReadSector(file.get(), buffer);
      if (got >= 0) return std::string(buffer.bytes, static_cast<std::size_t>(got));
      if (errno != EINVAL) return std::nullopt;
    }
  }
  Descriptor file(OpenRegularFile(path, O_RDONLY));
  if (file.get() < 0 || !LockShared(file.get())) return std::nullopt;
  // Pages cached from an earlier read would hide what the robot wrote since.
  ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_DONTNEED);
  const ssize_t got = ReadSector(file.get(), buffer);
  if (got < 0) return std::nullopt;
  return std::string(buffer.bytes, static_cast<std::size_t>(got));
}

}  // namespace kz
