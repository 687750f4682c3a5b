#include "kzcard/card_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <utility>
#include <vector>

#include "kzcard/card_files.h"

namespace kz::card {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The components of a card path; nullopt when one may not be used.
std::optional<std::vector<std::string>> Components(std::string_view cardPath) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= cardPath.size()) {
    const std::size_t end = std::min(cardPath.find('/', start), cardPath.size());
    const std::string_view part = cardPath.substr(start, end - start);
    if (!part.empty()) parts.emplace_back(part);
    start = end + 1;
  }
  // The same rules as for a path joined under the root.
  if (!ResolveCardPath("/", cardPath)) return std::nullopt;
  return parts;
}

Descriptor Walk(const std::filesystem::path& root, const std::vector<std::string>& parts,
                std::size_t count) {
  Descriptor folder(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  for (std::size_t i = 0; i < count && folder.valid(); ++i)
    folder = Descriptor(::openat(folder.get(), parts[i].c_str(), kFolderFlags));
  return folder;
}

std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  return ".kzcard-upload-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.release();
  }
  return *this;
}

Descriptor OpenCardFolder(const std::filesystem::path& root, std::string_view dir) {
  const auto parts = Components(dir);
  if (!parts) return Descriptor();
  return Walk(root, *parts, parts->size());
}

Descriptor OpenCardFile(const std::filesystem::path& root, std::string_view path) {
  const auto parts = Components(path);
  if (!parts || parts->empty()) return Descriptor();
  const Descriptor folder = Walk(root, *parts, parts->size() - 1);
  if (!folder.valid()) return Descriptor();
  // Non-blocking: opening a FIFO for reading would wait for a writer.
  Descriptor file(::openat(folder.get(), parts->back().c_str(),
                           O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat status {};
  if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
    return Descriptor();
  return file;
}

CardFileWriter::CardFileWriter(int folder, std::string name)
    : folder_(folder), name_(std::move(name)), temporary_(TemporaryName()) {
  file_ = Descriptor(::openat(folder_, temporary_.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
  failed_ = !file_.valid();
}

CardFileWriter::~CardFileWriter() {
  if (!temporary_.empty()) ::unlinkat(folder_, temporary_.c_str(), 0);
}

bool CardFileWriter::Write(std::string_view bytes) {
  while (!failed_ && !bytes.empty()) {
    const ssize_t written = ::write(file_.get(), bytes.data(), bytes.size());
    if (written <= 0) {
      failed_ = true;
      break;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return !failed_;
}

bool CardFileWriter::Commit() {
  if (failed_) return false;
  if (::close(file_.release()) != 0) return false;
  struct stat status {};
  if (::fstatat(folder_, name_.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
      !S_ISREG(status.st_mode))
    return false;  // a link, a folder, a device: not the card's file to replace
  if (::renameat(folder_, temporary_.c_str(), folder_, name_.c_str()) != 0) return false;
  temporary_.clear();
  return true;
}

}  // namespace kz::card
