// Direct execution: placing a program on the robot's card and telling the
// robot to run it, on both models and both roads.
#include <gmock/gmock.h>

#include <filesystem>

#include "commands/binary_program_commands.h"
#include "commands/direct_execute_commands.h"
#include "fakes/editor_fixture.h"
#include "fakes/scoped_env.h"
#include "kzcard/card_server.h"
#include "link/link_hooks.h"
#include "model/settings.h"
#include "model/standard_values.h"
#include "platform/file_io.h"
#include "platform/mount_point.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

// The execute command's record, worked out by hand: FE FF, 904 little-endian
// (88 03), then zeros to 16 bytes.
const std::string kExecuteRecord = std::string("\xFE\xFF\x88\x03", 4) + std::string(12, '\0');

std::string ReadSample() {
  std::string text;
  return ReadWholeFile(KZ_SOURCE_DIR "/samples/STARTUP.XML", text) ? text : std::string();
}

// The program of the document's motion run `loopCount` times, back and
// forth or not, as direct execution places it.
std::optional<std::string> ProgramWith(const MotionDocument& document, int loopCount,
                                       bool backAndForth) {
  Motion motion = document.motion;
  motion.loopCount = loopCount;
  motion.backAndForth = backAndForth;
  return BuildBinaryProgram(motion, BinaryProgramOptionsOf(document), kDirectExecBase);
}

// A card drive at root/ whose folder robot/ holds ADDON, plus a program text.
class DirectExecuteTest : public EditorFixture {
 protected:
  void SetUp() override {
    fs::create_directories(folder.Path("root/robot/ADDON"));
    folder.Write("walk.KM4", "PROGRAM TEXT\r\n");
  }
  void StartOn(int model, const std::string& extra = "") {
    WriteSettings("[REMOTE]\nFOLDER_DIRECTORY=" + CardFolder() + "\n" + extra);
    StartWithPoses(2);
    document->kazoModel = model;
    document->standardValues = StandardValues{};
  }
  std::string CardFolder() const { return folder.Path("root/robot") + "/"; }
  std::string Addon(const std::string& name) const {
    return folder.Read("root/robot/ADDON/" + name);
  }
  bool AddonHas(const std::string& name) const {
    return fs::exists(folder.Path("root/robot/ADDON/" + name));
  }
  std::string PathSetting() const {
    return Settings(SettingsPath()).ReadText("POSE", "PATH", "<missing>", 260);
  }
  bool Execute() { return DirectExecute(*document, editor, environment); }

  std::vector<std::string> finderCalls;
  DirectExecuteEnvironment environment{folder.Path("tmp") + "/", [this](std::string_view path) {
                                         finderCalls.emplace_back(path);
                                         return folder.Path("root") + "/";
                                       }};
};

TEST_F(DirectExecuteTest, ModelOneCopiesTheChosenProgramAndSendsTheCommand) {
  StartOn(1, "[POSE]\nPATH=C:\\motions\\walk.KM4\n");
  const std::string program = folder.Path("walk.KM4");
  ui.fileAnswers.push_back(FileDialogAnswer{program, false});

  EXPECT_TRUE(Execute());
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  const FileDialogRequest& request = ui.fileRequests[0];
  EXPECT_TRUE(request.open);
  EXPECT_EQ(request.initialName, "C:\\motions\\walk.KM4");
  EXPECT_EQ(request.defaultExtension, "KM4");
  EXPECT_EQ(request.filter, SystemText("プログラム(KM4)|*.KM4||"));
  EXPECT_EQ(Addon("TEMP.KM4"), "PROGRAM TEXT\r\n");
  EXPECT_EQ(Addon("REMOTE.LOG"), kExecuteRecord);
  EXPECT_EQ(PathSetting(), program);
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_THAT(finderCalls, IsEmpty());

  // A second run replaces the program on the card.
  folder.Write("walk.KM4", "NEW");
  ui.fileAnswers.push_back(FileDialogAnswer{program, false});
  EXPECT_TRUE(Execute());
  EXPECT_EQ(Addon("TEMP.KM4"), "NEW");
}

TEST_F(DirectExecuteTest, ModelOneOpensTheDialogOnTheLastProgramAsKm4) {
  const ScopedEnv home("HOME", folder.Path("home"));
  const struct {
    const char* setting;  // nullptr: no PATH key
    std::string initialName;
  } cases[] = {
      {"/motions/walk.KM4", "/motions/walk.KM4"},
      {"/motions/v1.2/walk.txt", "/motions/v1.2/walk.KM4"},
      {"PATH", ".KM4"},
      {nullptr, folder.Path("home") + "/"},  // the built-in default: a new motion starts at home
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting ? c.setting : "(default)");
    StartOn(1, c.setting ? std::string("[POSE]\nPATH=") + c.setting + "\n" : "");
    ui.fileRequests.clear();
    ui.fileAnswers.push_back(std::nullopt);  // cancelled: nothing happens
    EXPECT_FALSE(Execute());
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].initialName, c.initialName);
    EXPECT_FALSE(AddonHas("TEMP.KM4"));
    EXPECT_FALSE(AddonHas("REMOTE.LOG"));
    EXPECT_EQ(PathSetting(), c.setting ? c.setting : "<missing>");
  }
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(DirectExecuteTest, ModelOneWithoutCardFolderAsksToConnectFirst) {
  StartOn(1);
  document->cardFolder.clear();
  ui.answers.push_back(Button::kNo);
  EXPECT_FALSE(Execute());
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgStartRemoteConnection));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kYesNoQuestion);
  EXPECT_THAT(ui.fileRequests, IsEmpty());
}

TEST_F(DirectExecuteTest, ModelOneCopyFailureShows151AndSendsNothing) {
  StartOn(1);
  ui.fileAnswers.push_back(FileDialogAnswer{folder.Path("missing.KM4"), false});
  EXPECT_FALSE(Execute());
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgDirectExecCopyFailed));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
  EXPECT_FALSE(AddonHas("TEMP.KM4"));
  EXPECT_FALSE(AddonHas("REMOTE.LOG"));
}

TEST_F(DirectExecuteTest, ModelOneNeverCopiesThroughALinkOnTheCard) {
  StartOn(1);
  const std::string victim = folder.Write("victim.txt", "the user's file");
  fs::create_symlink(victim, folder.Path("root/robot/ADDON/TEMP.KM4"));
  ui.fileAnswers.push_back(FileDialogAnswer{folder.Path("walk.KM4"), false});
  EXPECT_FALSE(Execute());
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgCardFileNotRegular));
  EXPECT_EQ(folder.Read("victim.txt"), "the user's file");
  EXPECT_FALSE(AddonHas("REMOTE.LOG"));
}

TEST_F(DirectExecuteTest, ModelTwoOverUsbWritesIntoTheCardRootsStartupImage) {
  StartOn(2);
  ui.WriteNumber(ctl::kLoopCount, 3);
  ui.SetChecked(ctl::kBackAndForth, true);
  const std::string image(kDirectExecBase + 16, '\xAA');
  folder.Write("root/STARTUP.BIN", image);

  EXPECT_TRUE(Execute());
  EXPECT_THAT(finderCalls, ElementsAre(CardFolder()));
  const auto program = ProgramWith(*document, 3, true);
  ASSERT_TRUE(program);
  const std::string written = folder.Read("root/STARTUP.BIN");
  ASSERT_EQ(written.size(), kDirectExecBase + program->size());
  EXPECT_EQ(written.substr(0, kDirectExecBase), image.substr(0, kDirectExecBase));
  EXPECT_EQ(written.substr(kDirectExecBase), *program);
  EXPECT_FALSE(fs::exists(folder.Path("root/robot/STARTUP.BIN")));
  EXPECT_EQ(Addon("REMOTE.LOG"), kExecuteRecord);
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(DirectExecuteTest, ModelTwoWithoutCardFolderShows130Only) {
  StartOn(2);
  document->cardFolder.clear();
  EXPECT_FALSE(Execute());
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramWriteFailed));
  EXPECT_THAT(finderCalls, IsEmpty());
  EXPECT_THAT(ui.fileRequests, IsEmpty()) << "this road never asks for the card";
  EXPECT_FALSE(AddonHas("REMOTE.LOG"));
}

TEST_F(DirectExecuteTest, ModelTwoOverFlashAirUploadsTempBinWithoutCommand) {
  StartOn(2);
  fs::create_directories(folder.Path("tmp"));
  card::CardServer server(folder.Path("root/robot"));
  const int port = server.Start();
  ASSERT_NE(port, 0);
  document->useFlashAir = true;
  document->flashAirHost = "127.0.0.1:" + std::to_string(port);

  // At the fixed name in the shared temporary folder, someone else's link.
  const std::string victim = folder.Write("victim.txt", "the user's file");
  fs::create_symlink(victim, folder.Path("tmp/TEMP.BIN"));

  EXPECT_TRUE(Execute());
  const auto program = ProgramWith(*document, ui.ReadNumber(ctl::kLoopCount), false);
  ASSERT_TRUE(program);
  EXPECT_EQ(Addon("TEMP.BIN"), *program);
  EXPECT_EQ(folder.Read("victim.txt"), "the user's file");
  EXPECT_TRUE(fs::is_symlink(folder.Path("tmp/TEMP.BIN"))) << "someone else's file is left alone";
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path("tmp")), {}), 1)
      << "the run's own folder is removed";
  EXPECT_FALSE(AddonHas("REMOTE.LOG"));
  EXPECT_THAT(finderCalls, IsEmpty());
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(DirectExecuteTest, ModelTwoOverFlashAirTakesTheSetupFileTheUserNamed) {
  // The card's setup file and the user's differ in the first standard value.
  std::string card = ReadSample();
  std::string own = card;
  ASSERT_EQ(own.substr(1227, 6), "0x001e");
  own.replace(1227, 6, "0x0123");
  fs::create_directories(folder.Path("tmp"));
  fs::create_directories(folder.Path("own"));
  folder.Write("root/robot/STARTUP.XML", card);
  const std::string ownPath = folder.Write("own/STARTUP.XML", own);
  card::CardServer server(folder.Path("root/robot"));
  const int port = server.Start();
  ASSERT_NE(port, 0);
  const auto expected = [&](const std::string& setup) {
    document->standardValues = ParseStandardValuesText(setup);
    return ProgramWith(*document, ui.ReadNumber(ctl::kLoopCount), false).value_or("<refused>");
  };

  const struct {
    const char* how;
    std::optional<std::string> override;
    std::string setting;
    std::string values;
  } cases[] = {
      {"none named: the card's", std::nullopt, "", card},
      {"--setup", ownPath, "", own},
      {"chosen in the editor before", std::nullopt, "[SETUP]\nPATH=" + ownPath + "\n", own},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    StartOn(2, c.setting);
    InstallFlashAirDownload(*document, ui);
    ui.shown.clear();
    document->useFlashAir = true;
    document->flashAirHost = "127.0.0.1:" + std::to_string(port);
    document->standardValues.reset();
    document->setupOverride = c.override;
    EXPECT_TRUE(Execute());
    EXPECT_TRUE(document->useFlashAir);
    EXPECT_EQ(Addon("TEMP.BIN"), expected(c.values));
    EXPECT_THAT(ui.shown, IsEmpty());
  }
}

TEST_F(DirectExecuteTest, ModelOneOverFlashAirUploadsTheProgramAndTheCommand) {
  StartOn(1);
  card::CardServer server(folder.Path("root/robot"));
  const int port = server.Start();
  ASSERT_NE(port, 0);
  document->useFlashAir = true;
  document->flashAirHost = "127.0.0.1:" + std::to_string(port);

  ui.fileAnswers.push_back(FileDialogAnswer{folder.Path("walk.KM4"), false});
  EXPECT_TRUE(Execute());
  EXPECT_EQ(Addon("TEMP.KM4"), "PROGRAM TEXT\r\n");
  EXPECT_EQ(Addon("REMOTE.LOG"), kExecuteRecord);

  // A program that cannot be read: 125, and nothing is sent.
  fs::remove(folder.Path("root/robot/ADDON/REMOTE.LOG"));
  ui.fileAnswers.push_back(FileDialogAnswer{folder.Path("missing.KM4"), false});
  EXPECT_FALSE(Execute());
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramReadFailed));
  EXPECT_FALSE(AddonHas("REMOTE.LOG"));

  // The card goes away: the transport's 166, then 167.
  server.Stop();
  ui.shown.clear();
  ui.fileAnswers.push_back(FileDialogAnswer{folder.Path("walk.KM4"), false});
  EXPECT_FALSE(Execute());
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgFlashAirFailed, kMsgFlashAirUnreachable));
}

TEST_F(DirectExecuteTest, AGivenProgramOrMotionNeedsNoWindow) {
  StartOn(1);
  EXPECT_TRUE(DirectExecuteProgram(*document, editor, folder.Path("walk.KM4")));
  EXPECT_THAT(ui.fileRequests, IsEmpty());
  EXPECT_EQ(Addon("TEMP.KM4"), "PROGRAM TEXT\r\n");
  EXPECT_EQ(Addon("REMOTE.LOG"), kExecuteRecord);
  EXPECT_EQ(PathSetting(), folder.Path("walk.KM4"));

  // Model 2 runs the motion's own loop settings, whatever the window shows.
  StartOn(2);
  folder.Write("root/STARTUP.BIN", std::string(kDirectExecBase, '\xAA'));
  document->motion.loopCount = 2;
  ui.WriteNumber(ctl::kLoopCount, 5);
  EXPECT_TRUE(DirectExecuteMotion(*document, editor, environment));
  const auto program = ProgramWith(*document, 2, false);
  ASSERT_TRUE(program);
  EXPECT_EQ(folder.Read("root/STARTUP.BIN").substr(kDirectExecBase), *program);
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST(FileSystemRootTest, FindsTheRootOfTheFileSystemHoldingAPath) {
  TempFolder folder;
  const std::string root = FileSystemRootOf(folder.path());
  ASSERT_FALSE(root.empty());
  EXPECT_EQ(root.back(), '/');
  const std::string canonical = fs::canonical(folder.path()).string() + "/";
  EXPECT_TRUE(canonical.starts_with(root)) << root << " above " << canonical;
  EXPECT_EQ(FileSystemRootOf("/"), "/");
  EXPECT_EQ(FileSystemRootOf(folder.Path("missing")), "");
  EXPECT_EQ(FileSystemRootOf(""), "");
}

}  // namespace
}  // namespace kz::testing
