#include "fakes/bounded_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace kz::testing {

std::optional<bool> RunInChild(const std::function<bool()>& body, int seconds) {
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    bool result = false;
    try {
      result = body();
    } catch (...) {
      ::_exit(3);
    }
    ::_exit(result ? 0 : 1);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) return std::nullopt;
  return WEXITSTATUS(status) == 0;
}

}  // namespace kz::testing
