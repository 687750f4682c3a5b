// kzmotion started as a child process where it cannot open a window.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct Finished {
  int exitCode = -1;
  std::string output;
};

Finished RunEditor(const std::string& arguments, const std::string& environment) {
  const std::string command =
      "env " + environment + " " + KZ_EDITOR_PATH + " " + arguments + " 2>&1";
  Finished finished;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return finished;
  std::array<char, 4096> buffer{};
  while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
    finished.output.append(buffer.data(), got);
  const int status = ::pclose(pipe);
  if (WIFEXITED(status)) finished.exitCode = WEXITSTATUS(status);
  return finished;
}

TEST(EditorProcess, WithoutADisplayItSaysSoInOneLineAndFails) {
  const Finished run = RunEditor("", "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.output.find("kzmotion: no display"), 0u) << run.output;
  EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "one line";
}

// Before, the window opened on defaults (and an endless file was read until
// memory ran out); now the editor says what is wrong with the file and stops.
TEST(EditorProcess, ASettingsFileThatCannotBeReadWholeIsRefusedAtStart) {
  for (const char* path : {"/dev/zero", "/"}) {
    const Finished run =
        RunEditor(std::string("--settings ") + path, "QT_QPA_PLATFORM=offscreen timeout 20");
    EXPECT_EQ(run.exitCode, 1) << path;
    EXPECT_EQ(run.output.find("kzmotion: cannot read the settings file"), 0u) << run.output;
  }
}

}  // namespace
