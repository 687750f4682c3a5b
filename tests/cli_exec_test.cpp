// kzmotion-cli exec, run as a child process against a card folder and a
// FlashAir card on loopback.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "commands/binary_program_commands.h"
#include "commands/edit_data_commands.h"
#include "fakes/editor_fixture.h"
#include "fakes/process_run.h"
#include "formats/binary_program.h"
#include "formats/edit_data.h"
#include "kzcard/card_server.h"
#include "model/standard_values.h"

namespace kz::testing {
namespace {

namespace fs = std::filesystem;

// FE FF, 904 little-endian, zeros to 16 bytes.
const std::string kExecuteRecord = std::string("\xFE\xFF\x88\x03", 4) + std::string(12, '\0');

// A model-1 settings file, a card folder with ADDON, a program text and the
// motion as edit data.
class CliExecTest : public EditorFixture {
 protected:
  void SetUp() override {
    fs::create_directories(folder.Path("card/ADDON"));
    fs::create_directories(folder.Path("tmp"));
    folder.Write("walk.KM4", "PROGRAM TEXT\r\n");
    WriteSettings("[POSE]\nLOOP_COUNT=2\n");
    StartWithPoses(2);
    document->setupOverride = kSampleSetup;
    ASSERT_TRUE(LoadStandardValues(*document, editor));
    ui.fileAnswers.push_back(FileDialogAnswer{folder.Path("walk.KZI"), false});
    ASSERT_EQ(SaveEditData(*document, editor), SaveResult::kSaved);
  }

  ProcessRun Run(const std::string& arguments) {
    return RunCommandLine("TMPDIR=" + folder.Path("tmp") + " " + KZ_CLI_PATH + " --settings " +
                          SettingsPath() + " --setup " + kSampleSetup + " exec " + arguments);
  }

  std::string Card() const { return folder.Path("card"); }
  std::string Addon(const std::string& name) const { return folder.Read("card/ADDON/" + name); }
  bool AddonHas(const std::string& name) const {
    return fs::exists(folder.Path("card/ADDON/" + name));
  }

  static constexpr const char* kSampleSetup = KZ_SOURCE_DIR "/samples/STARTUP.XML";
};

TEST_F(CliExecTest, ModelOnePlacesTheProgramAndSendsTheCommand) {
  const ProcessRun run = Run(folder.Path("walk.KM4") + " --card " + Card());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(Addon("TEMP.KM4"), "PROGRAM TEXT\r\n");
  EXPECT_EQ(Addon("REMOTE.LOG"), kExecuteRecord);
}

TEST_F(CliExecTest, ModelTwoOverFlashAirUploadsTheBinaryProgram) {
  // The card holds the same setup file as the one --setup names.
  fs::copy_file(kSampleSetup, folder.Path("card/STARTUP.XML"));
  card::CardServer server(folder.Path("card"));
  const int port = server.Start();
  ASSERT_NE(port, 0);
  const ProcessRun run =
      Run(folder.Path("walk.KZI") + " --model 2 --flashair 127.0.0.1:" + std::to_string(port));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  Motion motion = document->motion;  // as the settings' loop count runs it
  motion.loopCount = 2;
  motion.backAndForth = false;
  EXPECT_EQ(Addon("TEMP.BIN"),
            BuildBinaryProgram(motion, BinaryProgramOptionsOf(*document), kDirectExecBase)
                .value_or("<refused>"));
  EXPECT_FALSE(AddonHas("REMOTE.LOG"));
}

TEST_F(CliExecTest, RefusesBadCommandLinesAndCardsWithoutAddon) {
  const struct {
    std::string arguments;
    int exitCode;
  } cases[] = {
      {"--card " + Card(), 2},                                               // no program
      {folder.Path("walk.KM4"), 2},                                          // no target
      {folder.Path("walk.KM4") + " --card " + Card() + " --flashair h", 2},  // two targets
      {folder.Path("walk.KZI") + " --model 3 --card " + Card(), 2},          // no such model
      {folder.Path("walk.KM4") + " --card " + folder.Path("tmp"), 1},        // no ADDON
      {folder.Path("missing.KM4") + " --card " + Card(), 1},                 // copy fails
  };
  for (const auto& c : cases) {
    const ProcessRun run = Run(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.output;
  }
  EXPECT_FALSE(AddonHas("TEMP.KM4"));
  EXPECT_FALSE(AddonHas("REMOTE.LOG"));
}

}  // namespace
}  // namespace kz::testing
