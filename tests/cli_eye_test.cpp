// kzmotion-cli convert-eyes, run as a child process.
#include <gtest/gtest.h>

#include <string>

#include "fakes/editor_fixture.h"
#include "fakes/process_run.h"
#include "formats/program_writer.h"

namespace kz::testing {
namespace {

class CliEyeTest : public EditorFixture {
 protected:
  void SetUp() override {
    StartWithPoses(2);
    program = *BuildProgramText(document->motion, ProgramOptions{});
    folder.Write("walk.KM4", program);
  }
  ProcessRun Run(const std::string& arguments) {
    return RunCommandLine(std::string(KZ_CLI_PATH) + " --settings " + SettingsPath() +
                          " convert-eyes " + arguments);
  }
  std::string program;
};

TEST_F(CliEyeTest, ConvertsInPlaceAndSaysHowMany) {
  const ProcessRun run = Run(folder.Path("walk.KM4") + " --right 5 --left 3");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "プログラムの書き換えに成功しました。\nLEDデータを2ヶ所書き変えました。\n");
  for (Pose& pose : document->motion.poses) {
    pose.leftEye = 3 << 16;
    pose.rightEye = 5 << 16;
    pose.flags = 0;
  }
  EXPECT_EQ(folder.Read("walk.KM4"), *BuildProgramText(document->motion, ProgramOptions{}));
}

TEST_F(CliEyeTest, BadCommandLinesAndUnconvertibleFilesChangeNothing) {
  const std::string walk = folder.Path("walk.KM4");
  folder.Write("plain.KM4", "<wait size=\"1\" adr=\"0x0b43\"/>\r\n");
  const struct {
    std::string arguments;
    int exitCode;
  } cases[] = {
      {walk + " --left 3", 2},
      {walk + " --left 256 --right 1", 2},
      {walk + " --left -1 --right 1", 2},
      {walk + " --left 3x --right 1", 2},
      {"--left 1 --right 1", 2},
      {walk + " --left 1 --right 1 --mouth 2", 2},
      {folder.Path("plain.KM4") + " --left 1 --right 1", 1},
      {folder.Path("none.KM4") + " --left 1 --right 1", 1},
  };
  for (const auto& c : cases) {
    const ProcessRun run = Run(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.output;
  }
  EXPECT_EQ(folder.Read("walk.KM4"), program);
  EXPECT_EQ(folder.Read("plain.KM4"), "<wait size=\"1\" adr=\"0x0b43\"/>\r\n");
}

}  // namespace
}  // namespace kz::testing
