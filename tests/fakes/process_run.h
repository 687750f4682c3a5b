#pragma once

#include <string>

namespace kz::testing {

// How a child process ended: its exit code (-1 when it did not exit normally,
// or could not be started) and what it wrote to standard output and error.
struct ProcessRun {
  int exitCode = -1;
  std::string output;
};

// Runs `commandLine` through the shell with standard error joined to standard
// output, and waits for it to end.
ProcessRun RunCommandLine(const std::string& commandLine);

}  // namespace kz::testing
