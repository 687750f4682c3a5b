// kzmotion started as a child process where it cannot open a window.
#include <gtest/gtest.h>

#include <string>

#include "fakes/process_run.h"

namespace {

using kz::testing::ProcessRun;

ProcessRun RunEditor(const std::string& arguments, const std::string& environment) {
  return kz::testing::RunCommandLine("env " + environment + " " + KZ_EDITOR_PATH + " " + arguments);
}

TEST(EditorProcess, WithoutADisplayItSaysSoInOneLineAndFails) {
  const ProcessRun run = RunEditor("", "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.output.find("kzmotion: no display"), 0u) << run.output;
  EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "one line";
}

// Before, the window opened on defaults (and an endless file was read until
// memory ran out); now the editor says what is wrong with the file and stops.
TEST(EditorProcess, ASettingsFileThatCannotBeReadWholeIsRefusedAtStart) {
  for (const char* path : {"/dev/zero", "/"}) {
    const ProcessRun run =
        RunEditor(std::string("--settings ") + path, "QT_QPA_PLATFORM=offscreen timeout 20");
    EXPECT_EQ(run.exitCode, 1) << path;
    EXPECT_EQ(run.output.find("kzmotion: cannot read the settings file"), 0u) << run.output;
  }
}

}  // namespace
