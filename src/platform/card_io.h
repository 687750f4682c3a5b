#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kz {

// Files on the robot's SD card, which the robot reads and writes behind the
// page cache's back: every write reaches the device before the file is
// closed, and the capture file is read from the device, not from the cache.
// Paths are system text (CP932).

enum class CardWrite {
  kCreate,           // created or replaced
  kCreateExclusive,  // the same, refused while another program holds the file
  kExistingOnly,     // replaced; a missing file is not created
};

enum class CardWriteResult {
  kWritten,
  kFailed,   // could not be written now (missing folder, held, full, ...)
  kRefused,  // a symbolic link or a special file stands there: never written
};

// Writes `data` as the whole file. The robot reads these files by itself,
// so a record must be complete whenever it is there: the data go to a
// temporary file beside it, synced to the device, and renamed over the
// file (the folder entry synced as well). A failed write leaves the
// previous file as it was. A link at the path is refused, not followed.
CardWriteResult WriteCardFile(std::string_view path, std::string_view data,
                              CardWrite mode = CardWrite::kCreateExclusive);

// How the sector read goes past the cache: straight from the device, or,
// where the file system refuses that, by dropping the cached pages first.
enum class SectorRead { kDirect, kDropCache };

inline constexpr std::size_t kCardSectorSize = 512;

// The first bytes of the file, at most one sector, in one read; nullopt when
// the file cannot be opened exclusively or read, or is not a regular file.
std::optional<std::string> ReadCardSector(std::string_view path,
                                          SectorRead mode = SectorRead::kDirect);

}  // namespace kz
