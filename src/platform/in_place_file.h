#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_io.h"

namespace kz {

// A regular file open for reading and writing, for the edits made in place
// (loop repair, eye conversion, a program written into an image): the file
// keeps its identity (links, permissions, the card's folder entry). A
// device, FIFO or folder is never opened, so nothing here blocks. The path
// is system text (CP932).
class InPlaceFile {
 public:
  explicit InPlaceFile(std::string_view path);
  ~InPlaceFile();
  InPlaceFile(const InPlaceFile&) = delete;
  InPlaceFile& operator=(const InPlaceFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }

  // The whole file; false when it is longer than `maxBytes`.
  bool ReadAll(std::string& contents, std::size_t maxBytes = kMaxWholeFileBytes) const;
  std::optional<std::uint64_t> Length() const;
  bool WriteAt(std::uint64_t offset, std::string_view bytes) const;
  // To the device: a card may be pulled, or its robot told to run the file.
  bool Sync() const;
  bool Truncate(std::uint64_t length) const;
  // The result of closing: a deferred write error shows here.
  bool Close();

 private:
  int fd_ = -1;
};

}  // namespace kz
