#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"

namespace kz {

// A regular file open for reading and writing, for the edits made in place
// (loop repair, eye conversion, a program written into an image; they go
// through PatchFileInPlace below): the file keeps its identity (links,
// permissions, the card's folder entry). A device, FIFO or folder is never
// opened, so nothing here blocks. The path is system text (CP932).
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

// Bytes to write over a file from `offset`; past its end they lengthen it.
struct FilePatch {
  std::uint64_t offset = 0;
  std::string bytes;
};

// How a patch in place ended: done, or the step that failed.
enum class PatchResult {
  kPatched,
  kNotOpened,   // no regular file there to open for reading and writing
  kNotRead,     // unreadable, or longer than allowed
  kDeclined,    // the edit gave nothing to write: the file is untouched
  kNotWritten,  // a write failed; the writes after it are not made
  kNotSynced,   // the device did not take the writes
  kNotClosed,   // a deferred write error
};

// The edit of a patch: given the whole file (which it may change or move
// from), the writes to make, in their order; none to leave the file as it is.
using FileEdit = std::function<std::vector<FilePatch>(std::string& contents)>;

// The one way a file is patched in place: opens the regular file at `path`
// for reading and writing, reads it whole (refused when it is longer than
// `maxBytes`), lets `edit` say what to write, makes those writes in order,
// syncs the file to its device (a card may be pulled, or its robot told to
// run the file, next) and closes it with the result checked. A write that
// fails is cut off again where it reached past the file's old end, so a
// failed append leaves the file as it was; the writes after it are not made,
// so a write that points into an earlier one (a dispatch entry at a program
// appended) goes after it.
PatchResult PatchFileInPlace(std::string_view path, std::size_t maxBytes, const FileEdit& edit);

}  // namespace kz
