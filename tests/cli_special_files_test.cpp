// Every command of kzmotion-cli handed a file that is no file to read or
// write: a FIFO nobody writes, a link to a device without end, a sparse file
// of 4 GiB. Each is refused with a message within seconds, never a hang, a
// crash or std::bad_alloc.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "commands/edit_data_commands.h"
#include "fakes/editor_fixture.h"
#include "fakes/process_run.h"
#include "model/standard_values.h"
#include "platform/text_encoding.h"

namespace kz::testing {
namespace {

namespace fs = std::filesystem;

// timeout(1) ends a command that hangs with exit code 124.
constexpr int kHung = 124;

class CliSpecialFilesTest : public EditorFixture {
 protected:
  void SetUp() override {
    fs::create_directories(folder.Path("card/ADDON"));
    WriteSettings("[POSE]\nLOOP_COUNT=1\n");
    StartWithPoses(2);
    document->setupOverride = kSampleSetup;
    ASSERT_TRUE(LoadStandardValues(*document, editor));
    ui.fileAnswers.push_back(FileDialogAnswer{folder.Path("walk.KZI"), false});
    ASSERT_EQ(SaveEditData(*document, editor), SaveResult::kSaved);
    ASSERT_EQ(Run("", "write " + Good("walk.KZI") + " -o " + Good("walk.KM4")).exitCode, 0);

    ASSERT_EQ(::mkfifo(folder.Path("fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", folder.Path("zero"));
    ASSERT_EQ(::truncate(folder.Write("huge", "").c_str(), off_t{4} << 30), 0);
    for (const char* kind : {"fifo", "zero", "huge"}) {
      fs::create_directories(folder.Path(std::string("logs-") + kind));
      fs::create_symlink(folder.Path(kind),
                         folder.Path(std::string("logs-") + kind + "/サーボ01.LOG"));
    }
  }

  // `global` replaces the usual options before the command.
  ProcessRun Run(const std::string& global, const std::string& command) const {
    const std::string options =
        global.empty() ? "--settings " + SettingsPath() + " --setup " + kSampleSetup : global;
    return RunCommandLine("timeout 20 " + std::string(KZ_CLI_PATH) + " " + options + " " + command);
  }

  std::string Good(const std::string& name) const { return folder.Path(name); }

  static constexpr const char* kSampleSetup = KZ_SOURCE_DIR "/samples/STARTUP.XML";
};

TEST_F(CliSpecialFilesTest, EveryReaderRefusesThemWithAMessage) {
  // BAD stands for the file under test, LOGS for a folder whose first log is
  // it, MOTION for a good edit-data file, CARD for a card folder, OUT for
  // outputs that must not appear.
  const struct {
    std::string global;
    std::string command;
  } rows[] = {
      {"", "write BAD -o OUT.KM4"},
      {"", "write BAD --model 2 -o OUT.BIN"},
      {"", "write MOTION --model 2 --image BAD --word 1"},
      {"", "read BAD -o OUT.KZI"},
      {"", "dump BAD"},
      {"", "send BAD --pose 1 --card CARD"},
      {"", "play BAD --card CARD"},
      {"", "record BAD --pose 1 -o OUT.LOG"},
      {"", "repair-jumps BAD"},
      {"", "jumps-to-names BAD"},
      {"", "names-to-jumps BAD"},
      {"", "convert-eyes BAD --left 1 --right 2"},
      {"", "exec BAD --card CARD"},
      {"", "exec BAD --model 2 --card CARD"},
      {"", "import-logs LOGS -o OUT.KZI"},
      {"--settings BAD", "dump MOTION"},
      {"--settings SETTINGS --setup BAD", "write MOTION -o OUT.KM4"},
  };
  const auto fill = [&](std::string text, const std::string& kind) {
    for (const auto& [word, path] : {std::pair<std::string, std::string>{"BAD", folder.Path(kind)},
                                     {"LOGS", folder.Path("logs-" + kind)},
                                     {"SETTINGS", SettingsPath()},
                                     {"MOTION", Good("walk.KZI")},
                                     {"CARD", Good("card")},
                                     {"OUT.", Good("out.")}}) {
      for (std::size_t at = text.find(word); at != std::string::npos;
           at = text.find(word, at + path.size()))
        text.replace(at, word.size(), path);
    }
    return text;
  };
  for (const char* kind : {"fifo", "zero", "huge"}) {
    for (const auto& row : rows) {
      const std::string global = fill(row.global, kind);
      const std::string command = fill(row.command, kind);
      SCOPED_TRACE(std::string(kind) + ": " + global + " " + command);
      const ProcessRun run = Run(global, command);
      EXPECT_NE(run.exitCode, kHung) << "hung";
      EXPECT_EQ(run.exitCode, 1) << run.output;
      EXPECT_FALSE(run.output.empty()) << "refused without a word";
    }
  }
  for (const auto& entry : fs::directory_iterator(folder.path()))
    EXPECT_FALSE(entry.path().filename().string().starts_with("out.")) << entry.path();
  EXPECT_TRUE(fs::is_fifo(folder.Path("fifo")));
}

TEST_F(CliSpecialFilesTest, NoOutputGoesIntoThem) {
  const std::string rows[] = {
      "write walk.KZI -o BAD",
      "write walk.KZI --model 2 -o BAD",
      "read walk.KM4 -o BAD",
      "record walk.KZI --pose 1 -o BAD",
  };
  for (const char* kind : {"fifo", "zero"}) {
    for (std::string command : rows) {
      command.replace(command.find("BAD"), 3, folder.Path(kind));
      const std::size_t input = command.find("walk.");
      command.replace(input, 8, Good(command.substr(input, 8)));
      SCOPED_TRACE(command);
      const ProcessRun run = Run("", command);
      EXPECT_NE(run.exitCode, kHung) << "hung";
      EXPECT_EQ(run.exitCode, 1) << run.output;
    }
  }
  EXPECT_TRUE(fs::is_fifo(folder.Path("fifo")));
  EXPECT_EQ(fs::read_symlink(folder.Path("zero")), "/dev/zero");
}

}  // namespace
}  // namespace kz::testing
