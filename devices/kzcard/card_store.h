#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kz::card {

// The card's files, reached from its root one component at a time without
// following a symbolic link anywhere below the root: a link in the card's
// folder must not let a request read or write outside it.

// An open file descriptor, closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor();
  Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// The folder at card path `dir` ("/", "ADDON", "/ADDON/"); invalid when it
// is missing, not a folder, outside the root or reached through a link.
Descriptor OpenCardFolder(const std::filesystem::path& root, std::string_view dir);

// The regular file at card path `path`, open for reading; invalid as above,
// and for a link, a device or a FIFO (which would block the card's thread).
Descriptor OpenCardFile(const std::filesystem::path& root, std::string_view path);

// Stores an upload as `name` in an open folder: the bytes go to a temporary
// file beside it as they arrive, which replaces `name` only once complete.
// A name taken by a link, a folder or anything but a regular file is refused.
class CardFileWriter {
 public:
  CardFileWriter(int folder, std::string name);
  ~CardFileWriter();  // removes the temporary file unless committed
  CardFileWriter(const CardFileWriter&) = delete;
  CardFileWriter& operator=(const CardFileWriter&) = delete;

  bool Write(std::string_view bytes);
  bool Commit();

 private:
  int folder_;
  std::string name_;
  std::string temporary_;
  Descriptor file_;
  bool failed_ = false;
};

}  // namespace kz::card
