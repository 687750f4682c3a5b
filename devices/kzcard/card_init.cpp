#include "kzcard/card_init.h"

#include <fcntl.h>
#include <unistd.h>

#include <string_view>
#include <system_error>

namespace kz::card {
namespace {

// The robot's remote-connection main program, as the card lists it (UTF-8).
// The editor takes the card for one that still has the stock program when
// this file is missing or has the stock size, so the stand-in is smaller.
constexpr std::string_view kMainProgramFile =
    "main5_InitFlag確認補完無し_シーン1固定0415_test2.KM4";
constexpr std::string_view kMainProgramText =
    "; kzcard: a stand-in for the robot's remote-connection main program.\r\n"
    "; The editor only looks at its size; no robot runs it.\r\n";

bool WriteNew(const std::filesystem::path& path, std::string_view text, std::string& error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == EEXIST) return true;  // kept as it is
    error = "cannot create " + path.string() + ": " + std::generic_category().message(errno);
    return false;
  }
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  if (::close(fd) != 0 || !written) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

}  // namespace

bool InitCardFolder(const std::filesystem::path& folder, std::string& error) {
  std::error_code failure;
  std::filesystem::create_directories(folder / "ADDON", failure);
  if (failure) {
    error = "cannot create " + (folder / "ADDON").string() + ": " + failure.message();
    return false;
  }
  return WriteNew(folder / std::string(kMainProgramFile), kMainProgramText, error);
}

}  // namespace kz::card
