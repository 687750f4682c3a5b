#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace kz {

std::optional<int> SpawnProcess(const std::string& path,
                                const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
    return std::nullopt;
  // posix_spawn may report a program that cannot run only through the
  // child's exit status 127; a child already gone that way did not start.
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 127)
    return std::nullopt;
  return static_cast<int>(pid);
}

bool ProcessRunning(int pid) {
  int status = 0;
  const pid_t result = waitpid(static_cast<pid_t>(pid), &status, WNOHANG);
  if (result == 0) return true;
  // Ended and reaped now, or not our child (already reaped).
  return false;
}

}  // namespace kz
