#include "platform/card_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_io.h"

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
  // The result of closing: a deferred write error of the device shows here.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

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

bool WriteCardFile(std::string_view path, std::string_view data, CardWrite mode) {
  const auto native = NativePath(path);
  if (!native) return false;
  int flags = O_WRONLY | O_CLOEXEC;
  if (mode != CardWrite::kExistingOnly) flags |= O_CREAT;
  Descriptor file(::open(native->c_str(), flags, 0666));
  if (file.get() < 0) return false;
  // Locked before truncating, so that a refused write leaves the file whole.
  if (mode == CardWrite::kCreateExclusive && ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
    return false;
  const bool written =
      ::ftruncate(file.get(), 0) == 0 && WriteAll(file.get(), data) && ::fsync(file.get()) == 0;
  return file.Close() && written;
}

std::optional<std::string> ReadCardSector(std::string_view path, SectorRead mode) {
  const auto native = NativePath(path);
  if (!native) return std::nullopt;
  SectorBuffer buffer;
  if (mode == SectorRead::kDirect) {
    Descriptor file(::open(native->c_str(), O_RDONLY | O_CLOEXEC | O_DIRECT));
    // EINVAL: the file system does not do direct reads (at open or at the read).
    if (file.get() < 0 && errno != EINVAL) return std::nullopt;
    if (file.get() >= 0) {
      if (!LockShared(file.get())) return std::nullopt;
      const ssize_t got = ReadSector(file.get(), buffer);
      if (got >= 0) return std::string(buffer.bytes, static_cast<std::size_t>(got));
      if (errno != EINVAL) return std::nullopt;
    }
  }
  Descriptor file(::open(native->c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0 || !LockShared(file.get())) return std::nullopt;
  // Pages cached from an earlier read would hide what the robot wrote since.
  ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_DONTNEED);
  const ssize_t got = ReadSector(file.get(), buffer);
  if (got < 0) return std::nullopt;
  return std::string(buffer.bytes, static_cast<std::size_t>(got));
}

}  // namespace kz
