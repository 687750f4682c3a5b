// Connecting to the robot's remote-connection program and back: the card
// folder, the opening command, the model-2 files and the robot controls.
#include "link/remote_connection.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "commands/playback_commands.h"
#include "commands/remote_connection_commands.h"
#include "dialogs/param_dlg.h"
#include "fakes/editor_fixture.h"
#include "kzcard/card_server.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Command(int code) {
  std::string bytes(16, '\0');
  bytes[0] = static_cast<char>(0xFE);
  bytes[1] = static_cast<char>(0xFF);
  bytes[2] = static_cast<char>(code & 0xFF);
  bytes[3] = static_cast<char>(code >> 8);
  return bytes;
}

std::string Zeros(std::size_t count) { return std::string(count, '\0'); }

// The robot controls as (1063 set, 1063 on, 1064 on, 14 on, 1061 on, 15 on, 16 on).
std::vector<bool> RobotControls(const ScriptedUi& ui) {
  return {ui.IsChecked(ctl::kRemoteConnection), ui.IsEnabled(ctl::kRemoteConnection),
          ui.IsEnabled(ctl::kSimulator),        ui.IsEnabled(ctl::kRemoteSend),
          ui.IsEnabled(ctl::kReplay),           ui.IsEnabled(ctl::kCapture),
          ui.IsEnabled(ctl::kDirectExecute)};
}

const std::vector<bool> kIdle = {false, true, true, false, false, false, true};

class RemoteConnectionTest : public EditorFixture {
 protected:
  // A card folder "card/" with ADDON/REMOTE.LOG, as the robot's remote
  // program set leaves it.
  void SetUp() override {
    std::filesystem::create_directories(folder.Path("card/ADDON"));
    folder.Write("card/ADDON/REMOTE.LOG", "");
  }

  std::string CardFolder() const { return folder.Path("card/"); }
  std::string CardFile(const std::string& name) const { return folder.Read("card/ADDON/" + name); }

  // The click on 1063 that sets or clears it.
  void Click(bool set) {
    ui.SetChecked(ctl::kRemoteConnection, set);
    ToggleRemoteConnection(*document, editor, [this](int ms) { sleeps.push_back(ms); });
  }

  std::string Setting(const char* key) const {
    return document->settings().ReadText("REMOTE", key, "<none>", 260);
  }

  std::vector<int> sleeps;
};

TEST_F(RemoteConnectionTest, AKnownCardFolderConnectsAtOnceAndDisconnectsToIdle) {
  WriteSettings("[REMOTE]\nFOLDER_DIRECTORY=" + CardFolder() + "\n");
  StartWithPoses(2);
  folder.Write("card/ADDON/SERVO.LOG", std::string(128, 'x'));

  Click(true);
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_THAT(ui.fileRequests, IsEmpty());
  EXPECT_EQ(CardFile("REMOTE.LOG"), Command(901));
  EXPECT_THAT(RobotControls(ui), ElementsAre(true, true, false, true, true, true, false));

  folder.Write("card/ADDON/REMOTE.LOG", "left alone");
  Click(false);
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_EQ(CardFile("SERVO.LOG"), Zeros(128));
  EXPECT_EQ(CardFile("REMOTE.LOG"), "left alone") << "no command on disconnect";
  EXPECT_EQ(RobotControls(ui), kIdle);
}

TEST_F(RemoteConnectionTest, TheModelAndPowerCheckChooseTheOpeningFiles) {
  const std::string modelTwoPose = "\x3C\x50\x0F\x27" + Zeros(124);
  const std::string powerPose = "\x01" + Zeros(127);
  const struct {
    int model;
    bool power;
    int command;
    std::string servoLog;  // "" when not written
    bool capture;
  } cases[] = {
      {1, false, 901, "", true},
      {1, true, 907, "", false},
      {2, false, 901, modelTwoPose, true},
      {2, true, 901, powerPose, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("model " + std::to_string(c.model) + (c.power ? " power" : ""));
    WriteSettings("[GENERAL]\nKAZO_MODEL=" + std::to_string(c.model) + "\n[REMOTE]\nPOWER_CHECK=" +
                  (c.power ? "1" : "0") + "\nFOLDER_DIRECTORY=" + CardFolder() + "\n");
    Start();  // no poses: nothing to send or play
    std::filesystem::remove(folder.Path("card/ADDON/SERVO.LOG"));
    folder.Write("card/ADDON/CAPTURE.LOG", std::string(128, 'c'));

    Click(true);
    EXPECT_THAT(ui.shown, IsEmpty());
    EXPECT_EQ(CardFile("REMOTE.LOG"), Command(c.command));
    if (c.servoLog.empty()) {
      EXPECT_EQ(CardFile("SERVO.LOG"), "<missing>");
      EXPECT_EQ(CardFile("CAPTURE.LOG"), std::string(128, 'c'));
    } else {
      EXPECT_EQ(CardFile("SERVO.LOG"), c.servoLog);
      EXPECT_EQ(CardFile("CAPTURE.LOG"), Zeros(128));
    }
    EXPECT_THAT(RobotControls(ui), ElementsAre(true, true, false, false, false, c.capture, false));
    Click(false);
  }
}

TEST_F(RemoteConnectionTest, ThePickedRemoteLogGivesTheFolderAboveItsFolder) {
  std::filesystem::create_directories(folder.Path("robot/ADDON"));
  Start();
  ui.answers = {Button::kYes};
  ui.fileAnswers.push_back(FileDialogAnswer{folder.Path("robot/ADDON/REMOTE.LOG"), false});

  Click(true);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgStartRemoteConnection));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kYesNoQuestion);
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].initialName, "ADDON/REMOTE.LOG");
  EXPECT_EQ(ui.fileRequests[0].filter, SystemText("ﾘﾓｰﾄ接続ﾌｧｲﾙ|REMOTE.LOG||"));
  EXPECT_EQ(ui.fileRequests[0].defaultExtension, "LOG");
  EXPECT_EQ(document->cardFolder, folder.Path("robot/")) << "with the final separator";
  EXPECT_EQ(Setting("FOLDER_DIRECTORY"), folder.Path("robot/"));
  EXPECT_EQ(folder.Read("robot/ADDON/REMOTE.LOG"), Command(901));
  EXPECT_TRUE(ui.IsChecked(ctl::kRemoteConnection));
}

TEST_F(RemoteConnectionTest, AFailedConnectClearsTheBoxAndWritesNothing) {
  std::filesystem::create_directories(folder.Path("other/logs"));
  const struct {
    const char* what;
    std::string cardSetting;
    std::deque<Button> answers;
    std::deque<std::optional<FileDialogAnswer>> files;
    std::vector<int> shown;
    std::string cardFolderAfter;
  } cases[] = {
      {"declined", "", {Button::kNo}, {}, {kMsgStartRemoteConnection}, ""},
      {"dialog cancelled", "", {Button::kYes}, {std::nullopt}, {kMsgStartRemoteConnection}, ""},
      {"no ADDON above the picked file",
       "",
       {Button::kYes},
       {FileDialogAnswer{folder.Path("other/logs/REMOTE.LOG"), false}},
       {kMsgStartRemoteConnection, kMsgRemoteFolderMissing},
       folder.Path("other/")},
      {"the opening command cannot be written",
       folder.Path("other/"),
       {},
       {},
       {kMsgRemoteFileWriteFailed},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSettings("[REMOTE]\nFOLDER_DIRECTORY=" + c.cardSetting + "\n");
    StartWithPoses(1);
    ui.shown.clear();
    ui.answers = c.answers;
    ui.fileAnswers = c.files;

    Click(true);
    EXPECT_THAT(ui.shownIds(), ::testing::ElementsAreArray(c.shown));
    EXPECT_FALSE(ui.IsChecked(ctl::kRemoteConnection));
    EXPECT_TRUE(ui.IsEnabled(ctl::kSimulator));
    EXPECT_TRUE(ui.IsEnabled(ctl::kDirectExecute));
    EXPECT_EQ(document->cardFolder, c.cardFolderAfter);
    EXPECT_EQ(Setting("FOLDER_DIRECTORY"), c.cardFolderAfter);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("other/ADDON")));
    EXPECT_EQ(CardFile("REMOTE.LOG"), "");
  }
  EXPECT_EQ(ui.shown.back().kind, BoxKind::kOk);
}

TEST_F(RemoteConnectionTest, LocatingTheCardAsksOnlyWhenItsRemoteLogIsMissing) {
  WriteSettings("[REMOTE]\nFOLDER_DIRECTORY=" + CardFolder() + "\n");
  Start();
  document->cardFolder.clear();  // taken from the settings again
  EXPECT_TRUE(LocateCardFolder(*document, ui, ui));
  EXPECT_EQ(document->cardFolder, CardFolder());
  EXPECT_THAT(ui.fileRequests, IsEmpty());

  std::filesystem::remove(folder.Path("card/ADDON/REMOTE.LOG"));
  ui.fileAnswers.push_back(std::nullopt);
  EXPECT_FALSE(LocateCardFolder(*document, ui, ui));
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].initialName, folder.Path("card/ADDON/REMOTE.LOG"));
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(RemoteConnectionTest, ChoosingTheRemoteFileTakesAnyFolderUnchecked) {
  WriteSettings("[REMOTE]\nFOLDER_DIRECTORY=" + CardFolder() + "\n");
  Start();
  ui.fileAnswers.push_back(std::nullopt);
  ChooseRemoteFile(*document, ui);
  EXPECT_EQ(document->cardFolder, CardFolder()) << "cancelled";
  EXPECT_EQ(ui.fileRequests[0].initialName, folder.Path("card/ADDON/REMOTE.LOG"));

  ui.fileAnswers.push_back(FileDialogAnswer{"/media/nowhere/ADDON/REMOTE.LOG", false});
  ChooseRemoteFile(*document, ui);
  EXPECT_EQ(document->cardFolder, "/media/nowhere/");
  EXPECT_EQ(Setting("FOLDER_DIRECTORY"), "/media/nowhere/");
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(RemoteConnectionTest, DisconnectingDuringPlaybackStopsItAndClearsThePose) {
  WriteSettings("[REMOTE]\nFOLDER_DIRECTORY=" + CardFolder() + "\n");
  StartWithPoses(3);
  Click(true);
  ui.SetChecked(ctl::kReplay, true);
  TogglePlayback(*document, editor);
  ASSERT_TRUE(document->playing);
  ASSERT_NE(CardFile("SERVO.LOG"), Zeros(128)) << "the first pose was sent";

  Click(false);
  EXPECT_FALSE(document->playing);
  EXPECT_FALSE(ui.IsChecked(ctl::kReplay));
  EXPECT_THAT(ui.timers, IsEmpty());
  EXPECT_EQ(CardFile("SERVO.LOG"), Zeros(128));
  PlaybackStep(*document, editor);  // a tick that was already due
  EXPECT_EQ(CardFile("SERVO.LOG"), Zeros(128)) << "no further pose";
  EXPECT_EQ(RobotControls(ui), kIdle);
}

TEST_F(RemoteConnectionTest, WithoutAWindowTheLinkOpensAndClosesOnTheKnownCard) {
  WriteSettings("[GENERAL]\nKAZO_MODEL=2\n[REMOTE]\nFOLDER_DIRECTORY=" + CardFolder() + "\n");
  document = std::make_unique<MotionDocument>(SettingsPath());
  LoadEditorSettings(*document);
  const SleepFunction sleep = [this](int ms) { sleeps.push_back(ms); };
  ASSERT_TRUE(CheckCardFolder(*document, ui));
  ASSERT_TRUE(OpenRemoteConnection(*document, ui, sleep));
  EXPECT_EQ(CardFile("REMOTE.LOG"), Command(901));
  EXPECT_EQ(CardFile("CAPTURE.LOG"), Zeros(128));
  EXPECT_EQ(CardFile("SERVO.LOG"), "\x3C\x50\x0F\x27" + Zeros(124));
  document->playing = true;
  CloseRemoteConnection(*document, ui);
  EXPECT_FALSE(document->playing);
  EXPECT_EQ(CardFile("SERVO.LOG"), Zeros(128));
  EXPECT_THAT(ui.shown, IsEmpty());

  // A folder without ADDON: the check says so, and the opening command
  // cannot be written.
  std::filesystem::create_directories(folder.Path("other"));
  document->cardFolder = folder.Path("other/");
  EXPECT_FALSE(CheckCardFolder(*document, ui));
  EXPECT_FALSE(OpenRemoteConnection(*document, ui, sleep));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgRemoteFolderMissing, kMsgRemoteFileWriteFailed));
  EXPECT_EQ(document->cardFolder, "") << "forgotten, so that the next connection asks";
  EXPECT_FALSE(CheckCardFolder(*document, ui)) << "no folder at all";

  // The picked REMOTE.LOG names the card folder above its folder.
  TakeRemoteFile(*document, folder.Path("robot/ADDON/REMOTE.LOG"));
  EXPECT_EQ(document->cardFolder, folder.Path("robot/"));
  EXPECT_EQ(Setting("FOLDER_DIRECTORY"), folder.Path("robot/"));
  document->cardFolder.clear();
  RecallCardFolder(*document);
  EXPECT_EQ(document->cardFolder, folder.Path("robot/"));
}

// The FlashAir card on loopback, its root the folder "card".
class FlashAirConnectionTest : public RemoteConnectionTest {
 protected:
  void SetUp() override {
    RemoteConnectionTest::SetUp();
    port = card.Start();
    ASSERT_NE(port, 0);
  }

  std::string CardSettings(int model) const {
    return "[GENERAL]\nKAZO_MODEL=" + std::to_string(model) +
           "\n[REMOTE]\nFLASH_AIR_HOST=127.0.0.1:" + std::to_string(port) + "\n";
  }

  card::CardServer card{folder.Path("card")};
  int port = 0;
};

constexpr const char* kMainProgram = "card/main5_InitFlag確認補完無し_シーン1固定0415_test2.KM4";

TEST_F(FlashAirConnectionTest, TheCardCheckLooksAtTheMainProgramAndAddon) {
  const struct {
    const char* what;
    int model;
    std::string extraSettings;
    int mainProgramSize;  // -1: not on the card
    bool longListingFirst;
    bool addon;
    std::vector<int> shown;
  } cases[] = {
      {"the stock size on model 1", 1, "", 78087, false, true, {kMsgOriginalMainProgram}},
      {"the stock size on model 2", 2, "", 78087, false, true, {}},
      {"another size", 1, "", 80000, false, true, {}},
      {"the stock size from the settings",
       1,
       "MAIN_PROGRAM_SIZE=80000\n",
       80000,
       false,
       true,
       {kMsgOriginalMainProgram}},
      {"no main program", 1, "", -1, false, true, {kMsgOriginalMainProgram}},
      {"listed after 4096 bytes", 1, "", 80000, true, true, {kMsgOriginalMainProgram}},
      {"no ADDON", 1, "", 80000, false, false, {kMsgFlashAirFailed, kMsgFlashAirProgramFailed}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(folder.Path("card"));
    std::filesystem::create_directories(folder.Path("card"));
    if (c.addon) std::filesystem::create_directories(folder.Path("card/ADDON"));
    if (c.mainProgramSize >= 0)
      folder.Write(kMainProgram, std::string(static_cast<std::size_t>(c.mainProgramSize), 'm'));
    // Names that the listing gives before the main program's.
    for (int i = 0; c.longListingFirst && i < 60; ++i)
      folder.Write("card/a" + std::to_string(100 + i) + std::string(70, 'x'), "");
    WriteSettings(CardSettings(c.model) + c.extraSettings);
    Start();
    ui.shown.clear();

    EXPECT_EQ(CheckFlashAirCard(*document, ui), c.shown.empty());
    EXPECT_THAT(ui.shownIds(), ::testing::ElementsAreArray(c.shown));
    if (!c.shown.empty()) {
      EXPECT_EQ(ui.shown.back().kind,
                c.shown.back() == kMsgOriginalMainProgram ? BoxKind::kExclamation : BoxKind::kOk);
    }
    EXPECT_EQ(document->useFlashAir, c.shown.empty());
    EXPECT_EQ(Setting("FLASH_AIR"), c.shown.empty() ? "1" : "<none>");
  }
}

TEST_F(FlashAirConnectionTest, ACardThatDoesNotAnswerIsUnreachable) {
  WriteSettings(CardSettings(1));
  Start();
  card.Stop();
  EXPECT_FALSE(CheckFlashAirCard(*document, ui));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgFlashAirFailed, kMsgFlashAirUnreachable));
  EXPECT_FALSE(document->useFlashAir);
}

TEST_F(FlashAirConnectionTest, ConnectingOverWiFiNeedsNoCardFolder) {
  WriteSettings(CardSettings(2) + "FLASH_AIR=1\n");
  StartWithPoses(1);
  ASSERT_EQ(document->cardFolder, "");

  Click(true);
  EXPECT_THAT(ui.shown, IsEmpty()) << "no question 150";
  EXPECT_THAT(ui.fileRequests, IsEmpty());
  EXPECT_EQ(CardFile("REMOTE.LOG"), Command(901));
  EXPECT_EQ(CardFile("CAPTURE.LOG"), Zeros(128));
  EXPECT_EQ(CardFile("SERVO.LOG"), "\x3C\x50\x0F\x27" + Zeros(124));
  EXPECT_THAT(RobotControls(ui), ElementsAre(true, true, false, true, true, true, false));

  Click(false);
  EXPECT_EQ(CardFile("SERVO.LOG"), Zeros(128));
  EXPECT_EQ(RobotControls(ui), kIdle);
}

}  // namespace
}  // namespace kz::testing
