#include "platform/simulator_channel.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace kz {

std::string TemporaryFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string SimulatorSocketPath(int pid) {
  return TemporaryFolder() + "KZSimulator-" + std::to_string(pid) + ".sock";
}

bool SimulatorSocketExists(int pid) {
  struct stat info {};
  return stat(SimulatorSocketPath(pid).c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

bool PostToSimulator(int pid, std::uint16_t value) {
  const std::string path = SimulatorSocketPath(pid);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // A path that does not fit would name another socket.
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const unsigned char bytes[2] = {static_cast<unsigned char>(value & 0xFF),
                                  static_cast<unsigned char>(value >> 8)};
  const ssize_t sent = sendto(fd, bytes, sizeof bytes, MSG_DONTWAIT | MSG_NOSIGNAL,
                              reinterpret_cast<const sockaddr*>(&address), sizeof address);
  close(fd);
  return sent == static_cast<ssize_t>(sizeof bytes);
}

}  // namespace kz
