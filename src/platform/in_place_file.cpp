#include "platform/in_place_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace kz {

InPlaceFile::InPlaceFile(std::string_view path) : fd_(OpenRegularFile(path, O_RDWR)) {}

InPlaceFile::~InPlaceFile() { Close(); }

bool InPlaceFile::ReadAll(std::string& contents, std::size_t maxBytes) const {
  const auto length = Length();
  if (!length || *length > maxBytes) return false;
  std::string data;
  char buffer[65536];
  for (std::uint64_t offset = 0;;) {
    // One byte beyond the limit tells a file that grew meanwhile.
    const std::size_t want = std::min(sizeof buffer, maxBytes + 1 - data.size());
    const ssize_t got = ::pread(fd_, buffer, want, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    data.append(buffer, static_cast<std::size_t>(got));
    offset += static_cast<std::uint64_t>(got);
    if (data.size() > maxBytes) return false;
  }
  contents = std::move(data);
  return true;
}

std::optional<std::uint64_t> InPlaceFile::Length() const {
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0 || info.st_size < 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

bool InPlaceFile::WriteAt(std::uint64_t offset, std::string_view bytes) const {
  constexpr auto kMaxOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
  return fd_ >= 0 && offset <= kMaxOffset && bytes.size() <= kMaxOffset - offset &&
         WriteFullyAt(fd_, offset, bytes);
}

bool InPlaceFile::Sync() const { return fd_ >= 0 && ::fsync(fd_) == 0; }

bool InPlaceFile::Truncate(std::uint64_t length) const {
  return fd_ >= 0 && length <= static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) &&
         ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
}

bool InPlaceFile::Close() {
  if (fd_ < 0) return true;
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0;
}

PatchResult PatchFileInPlace(std::string_view path, std::size_t maxBytes, const FileEdit& edit) {
  InPlaceFile file(path);
  if (!file.IsOpen()) return PatchResult::kNotOpened;
  std::string contents;
  if (!file.ReadAll(contents, maxBytes)) return PatchResult::kNotRead;
  const std::uint64_t length = contents.size();
  const std::vector<FilePatch> patches = edit(contents);
  if (patches.empty()) return PatchResult::kDeclined;
  for (const FilePatch& patch : patches) {
    if (file.WriteAt(patch.offset, patch.bytes)) continue;
    if (patch.offset > length || patch.bytes.size() > length - patch.offset) file.Truncate(length);
    return PatchResult::kNotWritten;
  }
  if (!file.Sync()) return PatchResult::kNotSynced;
  if (!file.Close()) return PatchResult::kNotClosed;
  return PatchResult::kPatched;
}

}  // namespace kz
