// kzmotion-cli run as a child process.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct CliRun {
  int exitCode;
  std::string output;
};

CliRun RunCli(const std::string& arguments) {
  const std::string command = std::string(KZ_CLI_PATH) + " " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return {-1, ""};
  std::string output;
  std::array<char, 4096> buffer{};
  while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
    output.append(buffer.data(), got);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(Cli, HelpAndVersion) {
  const CliRun help = RunCli("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("Usage: kzmotion-cli"), std::string::npos);
  const CliRun version = RunCli("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.output, "kzmotion-cli (KZMotion) 4.22\n");
}

TEST(Cli, AnUnknownCommandLineExitsWithTwo) {
  const CliRun run = RunCli("--no-such-option");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("Usage:"), std::string::npos);
}

}  // namespace
