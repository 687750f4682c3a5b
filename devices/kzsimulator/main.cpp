// KZSimulator -m: a headless simulator. Listens on its socket in the
// temporary folder; on "data written" it takes up SERVO.LOG / REMOTE.LOG
// from there, on "capture request" it writes CAPTURE.LOG with the servo
// values of the last pose, on the close request it exits. Logs each
// notification to stdout.

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "link/records.h"
#include "platform/card_io.h"
#include "platform/file_io.h"
#include "platform/simulator_channel.h"

namespace {

volatile sig_atomic_t stopRequested = 0;

void OnSignal(int) { stopRequested = 1; }

std::optional<std::string> ReadRecord(const std::string& path) {
  std::string contents;
  if (!kz::FileExists(path) || !kz::ReadWholeFile(path, contents, 512)) return std::nullopt;
  return contents;
}

std::string Hex(const std::string& bytes) {
  std::string text;
  char part[4];
  for (unsigned char byte : bytes) {
    std::snprintf(part, sizeof part, "%02X ", byte);
    text += part;
  }
  if (!text.empty()) text.pop_back();
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "-m") != 0) {
    std::fprintf(stderr, "usage: KZSimulator -m\n");
    return 2;
  }
  struct sigaction action {};
  action.sa_handler = OnSignal;  // no SA_RESTART: a signal ends the wait
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  const std::string folder = kz::TemporaryFolder();
  const std::string socketPath = kz::SimulatorSocketPath(static_cast<int>(getpid()));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof(address.sun_path)) {
    std::fprintf(stderr, "KZSimulator: socket path too long: %s\n", socketPath.c_str());
    return 1;
  }
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  unlink(socketPath.c_str());  // a stale socket of an earlier process with this id
  if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    std::fprintf(stderr, "KZSimulator: cannot create %s: %s\n", socketPath.c_str(),
                 std::strerror(errno));
    return 1;
  }
  std::printf("listening on %s\n", socketPath.c_str());
  std::fflush(stdout);

  std::optional<std::array<std::int16_t, kz::kServoCount>> lastPose;
  while (!stopRequested) {
    unsigned char bytes[16];
    const ssize_t got = recv(fd, bytes, sizeof bytes, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (got != 2) {
      std::printf("ignored a datagram of %zd bytes\n", got);
      std::fflush(stdout);
      continue;
    }
    const auto value = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
    if (value == kz::kSimCloseRequest) {
      std::printf("close request\n");
      break;
    }
    if (value == kz::kSimDataWritten) {
      if (const auto pose = ReadRecord(folder + kz::kPoseFileName)) {
        std::printf("%s: %s\n", kz::kPoseFileName, Hex(*pose).c_str());
        if (const auto servos = kz::RecordServos(*pose)) lastPose = servos;
      }
      if (const auto command = ReadRecord(folder + kz::kCommandFileName))
        std::printf("%s: %s\n", kz::kCommandFileName, Hex(*command).c_str());
    } else if (value == kz::kSimCaptureRequest) {
      // Before any pose arrived there is nothing to report as measured.
      const std::string record = lastPose ? kz::CaptureRecord(*lastPose) : kz::CaptureRecord({}, 0);
      // The shared temporary folder: a link laid there is never written through.
      const bool written =
          kz::WriteCardFile(folder + kz::kCaptureFileName, record, kz::CardWrite::kCreate) ==
          kz::CardWriteResult::kWritten;
      std::printf("capture request: %s\n", written ? "CAPTURE.LOG written" : "write failed");
    } else {
      std::printf("unknown value %u\n", value);
    }
    std::fflush(stdout);
  }
  close(fd);
  unlink(socketPath.c_str());
  std::fflush(stdout);
  return 0;
}
