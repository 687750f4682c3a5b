// kzmotion-cli writing binary programs, run as a child process.
#include <gtest/gtest.h>

#include <string>

#include "commands/binary_program_commands.h"
#include "commands/edit_data_commands.h"
#include "fakes/editor_fixture.h"
#include "fakes/process_run.h"
#include "formats/binary_program.h"
#include "formats/edit_data.h"
#include "model/standard_values.h"

namespace {

using kz::testing::ProcessRun;

// An edit-data file made by the editor, and a model-1 settings file: the
// command line names the model.
class CliBinaryTest : public kz::testing::EditorFixture {
 protected:
  void SetUp() override {
    WriteSettings("[POSE]\nLOOP_COUNT=2\n");
    StartWithPoses(2);
    document->setupOverride = kSampleSetup;
    ASSERT_TRUE(kz::LoadStandardValues(*document, editor));
    ui.fileAnswers.push_back(kz::FileDialogAnswer{folder.Path("walk.KZI"), false});
    ASSERT_EQ(kz::SaveEditData(*document, editor), kz::SaveResult::kSaved);
    settingsBefore = folder.Read("KZMotion.ini");
  }

  ProcessRun Run(const std::string& arguments) {
    return kz::testing::RunCommandLine(std::string(KZ_CLI_PATH) + " --settings " + SettingsPath() +
                                       " --setup " + kSampleSetup + " write " +
                                       folder.Path("walk.KZI") + " " + arguments);
  }

  // The program the window would write for the document, from `base`: the
  // settings' loop count of 2.
  std::string Program(std::uint32_t base) const {
    kz::Motion motion = document->motion;
    motion.loopCount = 2;
    motion.backAndForth = false;
    return kz::BuildBinaryProgram(motion, kz::BinaryProgramOptionsOf(*document), base)
        .value_or("<refused>");
  }

  static constexpr const char* kSampleSetup = KZ_SOURCE_DIR "/samples/STARTUP.XML";
  std::string settingsBefore;
};

TEST_F(CliBinaryTest, ANewImageIsTheProgramAtTheDirectExecutionAddress) {
  const ProcessRun run = Run("--model 2 -o " + folder.Path("NEW.BIN"));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "バイナリープログラムの書き込みに成功しました\n");
  EXPECT_EQ(folder.Read("NEW.BIN"), Program(kz::kDirectExecBase));
}

TEST_F(CliBinaryTest, AnImageIsPatchedForTheGivenWordWithoutADialog) {
  std::string image(0x30000, '\0');
  image.replace(0x28100 - 7, 11, std::string("\x2A\x01\x00\x00\xD1\xD9\xE0\x00\x10\x00\x00", 11));
  image[0x100A] = '\x82';
  folder.Write("IMAGE.BIN", image);

  const ProcessRun run = Run("--model 2 --image " + folder.Path("IMAGE.BIN") + " --word 298");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("バイナリープログラムの書き込みに成功しました"), std::string::npos)
      << run.output;
  std::string expected = image;
  expected.replace(0x100B, 4, std::string("\x00\x00\x03\x00", 4));
  EXPECT_EQ(folder.Read("IMAGE.BIN"), expected + Program(0x30000));
  EXPECT_EQ(folder.Read("KZMotion.ini"), settingsBefore) << "the tool never writes settings";

  const ProcessRun other = Run("--model 2 --image " + folder.Path("IMAGE.BIN") + " --word 297");
  EXPECT_EQ(other.exitCode, 1);
  EXPECT_EQ(other.output, "置き替えるプログラムIDがみつかりません\n");
}

TEST_F(CliBinaryTest, CommandLinesThatDoNotFitAreRefused) {
  const std::string image = " --image " + folder.Path("IMAGE.BIN");
  const std::vector<std::string> commandLines = {
      "--model 3 -o " + folder.Path("X.BIN"),
      "--model 2",
      "--model 2" + image,
      "--model 2 --word 23 -o " + folder.Path("X.BIN"),
      "--model 2 --word 0" + image,
      "--model 2 --word 473" + image,
      "--model 2 --word 2x" + image,
      "--model 2 --per-posture -o " + folder.Path("X.BIN"),
      "--model 1" + image + " --word 3",
      "--model 2 -o " + folder.Path("X.BIN") + image + " --word 3"};
  for (const std::string& arguments : commandLines) {
    const ProcessRun run = Run(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments << "\n" << run.output;
  }
  EXPECT_EQ(folder.Read("X.BIN"), "<missing>");
}

}  // namespace
