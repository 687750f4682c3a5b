// Importing the servo logs the robot records on its card, from a card folder
// and from a FlashAir card on loopback.
#include "commands/servo_log_commands.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <memory>

#include "fakes/editor_fixture.h"
#include "formats/servo_logs.h"
#include "kzcard/card_server.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A recorded log: status 2, servo k holding base + k.
std::string Log(int base) {
  std::string bytes(kServoLogSize, '\0');
  bytes[0] = 2;
  bytes[1] = 0x55;  // not read
  for (int k = 0; k < kServoCount; ++k) {
    const auto value = static_cast<std::uint16_t>(base + k);
    bytes[2 + 2 * k] = static_cast<char>(value & 0xFF);
    bytes[3 + 2 * k] = static_cast<char>(value >> 8);
  }
  return bytes;
}

std::string WithServo(std::string log, int k, std::int16_t value) {
  const auto bits = static_cast<std::uint16_t>(value);
  log[2 + 2 * k] = static_cast<char>(bits & 0xFF);
  log[3 + 2 * k] = static_cast<char>(bits >> 8);
  return log;
}

std::string LogFileName(int number) {
  return "サーボ" + std::string(number < 10 ? "0" : "") + std::to_string(number) + ".LOG";
}

enum class Road { kUsb, kFlashAir };

// A card whose ADDON folder holds the logs, reached over USB (the dialog picks
// the first log) or over Wi-Fi from a card on loopback.
class ServoLogsTest : public EditorFixture, public ::testing::WithParamInterface<Road> {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder.Path("card/ADDON"));
    if (OverWiFi()) {
      card = std::make_unique<card::CardServer>(folder.Path("card"));
      port = card->Start();
      ASSERT_NE(port, 0);
    }
  }

  bool OverWiFi() const { return GetParam() == Road::kFlashAir; }

  // The editor with `poses` poses; abnormal values are corrected to 7.
  void Begin(int poses, const std::string& ini = "") {
    WriteSettings(ini + CardSettings());
    if (poses > 0)
      StartWithPoses(poses);
    else
      Start();
    StandardValues standard{};
    standard.fill(7);
    document->standardValues = standard;
  }

  std::string CardSettings() const {
    if (!OverWiFi()) return "";
    return "[REMOTE]\nFLASH_AIR=1\nFLASH_AIR_HOST=127.0.0.1:" + std::to_string(port) + "\n";
  }

  void WriteLog(int number, std::string_view bytes) {
    folder.Write("card/ADDON/" + LogFileName(number), bytes);
  }

  std::string LogPath(int number) const {
    return SystemText(folder.Path("card/ADDON/" + LogFileName(number)));
  }

  // The name message 149 gives the log.
  std::string ShownName(int number) const {
    return OverWiFi() ? SystemText("ADDON/" + LogFileName(number)) : LogPath(number);
  }

  // Runs the import, the dialog (USB only) picking `chosen` with the box
  // ticked or not.
  bool Import(bool ticked = true, int chosen = 1) {
    if (!OverWiFi()) ui.fileAnswers.push_back(FileDialogAnswer{LogPath(chosen), ticked});
    return ImportServoLogs(*document, editor);
  }

  std::string Setting(const char* section, const char* key) const {
    return Cp932ToUtf8(document->settings().ReadText(section, key, "<none>", 260)).value_or("?");
  }

  std::unique_ptr<card::CardServer> card;
  int port = 0;
};

TEST_P(ServoLogsTest, RecordedLogsBecomePosesUntilOneIsNotRecorded) {
  Begin(0, "[POSE]\nLOOP_COUNT=3\nPOSE_TIME=45\n");
  ui.WriteNumber(ctl::kLoopCount, 9);
  WriteLog(1, Log(100));
  WriteLog(2, Log(200));
  WriteLog(3, Log(300));
  std::string unrecorded = Log(400);
  unrecorded[0] = 1;
  WriteLog(4, unrecorded);
  WriteLog(5, Log(500));

  EXPECT_TRUE(Import());
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "ポーズ2", "ポーズ3"));
  EXPECT_EQ(document->motion.poses[2].servo[19], 319);
  EXPECT_EQ(document->motion.poses[2].travelTime, 45) << "a new pose of the settings";
  EXPECT_EQ(document->currentPose, 0);
  EXPECT_EQ(ui.Text(ctl::ServoField(1)), "101") << "the first pose is shown";
  EXPECT_EQ(ui.Text(ctl::kLoopCount), "3") << "the program settings return to the file's";
  EXPECT_TRUE(ui.IsEnabled(ctl::kSaveEditData));
  EXPECT_FALSE(document->modified);
  if (OverWiFi()) {
    EXPECT_EQ(Setting("LOG", "PATH"), "<none>") << "no local log to remember";
    EXPECT_THAT(ui.fileRequests, IsEmpty());
  } else {
    EXPECT_EQ(document->logPath, LogPath(1));
    EXPECT_EQ(Setting("LOG", "PATH"), folder.Path("card/ADDON/サーボ01.LOG"));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    const FileDialogRequest& request = ui.fileRequests[0];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.defaultExtension, "LOG");
    EXPECT_EQ(request.initialName, SystemText("サーボ01.LOG")) << "the setting's default";
    EXPECT_EQ(request.filter, SystemText("サーボログ|サーボ01.LOG||"));
    EXPECT_EQ(request.optionText, "") << "nothing to add to";
  }
}

TEST_P(ServoLogsTest, AnAbnormalValueIsAskedOnceAndCorrectedOrSkipped) {
  struct Case {
    Button answer;
    std::vector<std::string> tabs;
    std::vector<int> shown;
  };
  const Case cases[] = {
      {Button::kYes, {"ポーズ1", "ポーズ2", "ポーズ3", "ポーズ4"}, {kMsgFixServoLogValues}},
      {Button::kNo,
       {"ポーズ1", "ポーズ2"},
       {kMsgFixServoLogValues, kMsgServoLogValuesWrong, kMsgServoLogValuesWrong}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer == Button::kYes ? "Yes" : "No");
    Begin(0);
    WriteLog(1, Log(100));
    WriteLog(2, WithServo(Log(200), 3, 1600));
    WriteLog(3, WithServo(Log(300), 0, -1600));
    WriteLog(4, Log(400));
    ui.shown.clear();
    ui.answers = {c.answer};

    EXPECT_TRUE(Import());
    EXPECT_THAT(Tabs(), ::testing::ElementsAreArray(c.tabs));
    EXPECT_THAT(ui.shownIds(), ::testing::ElementsAreArray(c.shown));
    if (c.answer == Button::kYes) {
      EXPECT_EQ(document->motion.poses[1].servo[3], 7) << "the standard value";
      EXPECT_EQ(document->motion.poses[1].servo[4], 204);
      EXPECT_EQ(document->motion.poses[2].servo[0], 7);
    } else {
      EXPECT_EQ(ui.shown[1].args, std::vector<std::string>{ShownName(2)});
      EXPECT_EQ(ui.shown[2].args, std::vector<std::string>{ShownName(3)});
      EXPECT_EQ(document->motion.poses[1].servo[0], 400) << "log 4 follows log 1";
    }
  }
}

TEST_P(ServoLogsTest, AFirstLogNotRecordedReports129AndKeepsThePoses) {
  std::string unrecorded = Log(100);
  unrecorded[0] = 1;
  const struct {
    const char* what;
    std::optional<std::string> bytes;
  } cases[] = {
      {"missing", std::nullopt},
      {"512 bytes", Log(100) + std::string(384, '\0')},
      {"127 bytes", Log(100).substr(0, 127)},
      {"status 1", unrecorded},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Begin(2);
    std::filesystem::remove(folder.Path("card/ADDON/" + LogFileName(1)));
    if (c.bytes) WriteLog(1, *c.bytes);
    WriteLog(2, Log(200));
    document->logPath = "old";
    ui.shown.clear();

    EXPECT_FALSE(Import(false));
    EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgNoServoLogs));
    EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
    EXPECT_EQ(document->logPath, "");
    EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "ポーズ2")) << "the motion stays";
    EXPECT_EQ(document->motion.poses[1].servo[0], 100);
  }
}

// Over Wi-Fi only.
class FlashAirLogsTest : public ServoLogsTest {};

TEST_P(FlashAirLogsTest, ACardThatDoesNotAnswerHasNoLogs) {
  Begin(1);
  card->Stop();
  EXPECT_FALSE(Import());
  // The card could not be read: that is reported as such, not as no logs.
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgFlashAirFailed, kMsgServoLogDownloadFailed));
  EXPECT_EQ(ui.shown[1].args, std::vector<std::string>{SystemText("ADDON/サーボ01.LOG")});
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1"));
}

INSTANTIATE_TEST_SUITE_P(FlashAir, FlashAirLogsTest, ::testing::Values(Road::kFlashAir));

INSTANTIATE_TEST_SUITE_P(Roads, ServoLogsTest, ::testing::Values(Road::kUsb, Road::kFlashAir),
                         [](const auto& info) {
                           return info.param == Road::kUsb ? "Usb" : "FlashAir";
                         });

// The dialog's choices: a later log, the append box, cancelling.
class ServoLogDialogTest : public ServoLogsTest {};

TEST_P(ServoLogDialogTest, ALaterLogOfTheSeriesIsReadFromTheFirstAndAppended) {
  for (int chosen : {5, 11}) {
    SCOPED_TRACE(chosen);
    Begin(2);
    for (int number = 1; number <= 3; ++number) WriteLog(number, Log(100 * number + 1000));
    WriteLog(chosen, Log(0));

    EXPECT_TRUE(Import(false, chosen)) << "the box unticked";
    EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "ポーズ2", "ポーズ3", "ポーズ4", "ポーズ5"));
    EXPECT_EQ(document->motion.poses[2].servo[0], 1100);
    EXPECT_EQ(document->logPath, LogPath(1));
    EXPECT_EQ(Setting("LOG", "PATH"), folder.Path("card/ADDON/サーボ01.LOG"));
    EXPECT_EQ(ui.fileRequests.back().optionText,
              SystemText("読込んだポーズデータを現在にポーズに追加する"));
    EXPECT_TRUE(ui.fileRequests.back().optionChecked);
  }
}

TEST_P(ServoLogDialogTest, TheBoxChoosesBetweenAppendingAndReplacing) {
  const struct {
    bool ticked;
    std::vector<std::string> tabs;
    bool modifiedAfter;  // with unsaved edits before
  } cases[] = {
      {true, {"ポーズ1", "ポーズ2", "ポーズ3", "ポーズ4"}, true},
      {false, {"ポーズ1", "ポーズ2"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ticked);
    Begin(2);
    WriteLog(1, Log(1000));
    WriteLog(2, Log(1100));
    document->modified = true;

    EXPECT_TRUE(Import(c.ticked));
    EXPECT_THAT(Tabs(), ::testing::ElementsAreArray(c.tabs));
    EXPECT_EQ(document->motion.poses[c.tabs.size() - 2].servo[0], 1000);
    EXPECT_EQ(document->modified, c.modifiedAfter)
        << "edits kept beside the new poses are still unsaved";
  }
}

TEST_P(ServoLogDialogTest, CancellingChangesNothing) {
  Begin(1, "[POSE]\nLOOP_COUNT=3\n");
  ui.WriteNumber(ctl::kLoopCount, 9);
  WriteLog(1, Log(1000));
  ui.fileAnswers.push_back(std::nullopt);
  EXPECT_TRUE(ImportServoLogs(*document, editor));
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1"));
  EXPECT_EQ(ui.Text(ctl::kLoopCount), "9");
  EXPECT_EQ(Setting("LOG", "PATH"), "<none>");
}

TEST_P(ServoLogDialogTest, AppendingStopsAtTheMotionsLimit) {
  Begin(2, "[POSE]\nMAX_POSE=4\n");
  for (int number = 1; number <= 3; ++number)
    WriteLog(number, WithServo(Log(1000), 0, static_cast<std::int16_t>(2000 * number)));
  ui.answers = {Button::kYes};

  EXPECT_TRUE(Import(true));
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "ポーズ2", "ポーズ3", "ポーズ4"));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgFixServoLogValues, kMsgPosesBeyondLimitNotRead));
  EXPECT_EQ(ui.shown[1].args, std::vector<std::string>{"4"});
}

TEST_P(ServoLogDialogTest, AGivenSeriesIsReadWithoutTheDialog) {
  const struct {
    bool append;
    std::vector<std::string> tabs;
  } cases[] = {
      {true, {"ポーズ1", "ポーズ2", "ポーズ3", "ポーズ4"}},
      {false, {"ポーズ1", "ポーズ2"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.append);
    Begin(2);
    WriteLog(1, Log(1000));
    WriteLog(2, Log(1100));
    EXPECT_TRUE(ImportServoLogSeries(*document, editor, {LogPath(1), c.append}));
    EXPECT_THAT(ui.fileRequests, IsEmpty());
    EXPECT_THAT(Tabs(), ::testing::ElementsAreArray(c.tabs));
    EXPECT_EQ(document->logPath, LogPath(1));
  }
}

INSTANTIATE_TEST_SUITE_P(Usb, ServoLogDialogTest, ::testing::Values(Road::kUsb));

}  // namespace
}  // namespace kz::testing
