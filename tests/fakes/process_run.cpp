#include "fakes/process_run.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

namespace kz::testing {

ProcessRun RunCommandLine(const std::string& commandLine) {
  ProcessRun run;
  FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer{};
  while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
    run.output.append(buffer.data(), got);
  const int status = ::pclose(pipe);
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

}  // namespace kz::testing
