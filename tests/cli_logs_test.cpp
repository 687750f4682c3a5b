// kzmotion-cli import-logs, run as a child process against a card folder and
// a FlashAir card on loopback.
#include <gmock/gmock.h>

#include <filesystem>
#include <string>

#include "fakes/loopback_server.h"
#include "fakes/process_run.h"
#include "fakes/temp_folder.h"
#include "formats/edit_data.h"
#include "kzcard/card_server.h"
#include "platform/text_encoding.h"

namespace kz::testing {
namespace {

// A recorded log whose servo k holds base + k.
std::string Log(int base) {
  std::string bytes(128, '\0');
  bytes[0] = 2;
  for (int k = 0; k < 20; ++k) {
    bytes[2 + 2 * k] = static_cast<char>((base + k) & 0xFF);
    bytes[3 + 2 * k] = static_cast<char>((base + k) >> 8);
  }
  return bytes;
}

class CliLogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder.Path("card/ADDON"));
    folder.Write("KZMotion.ini", "[POSE]\nPOSE_TIME=45\n");
  }

  void WriteLogs(int count) {
    for (int number = 1; number <= count; ++number)
      folder.Write("card/ADDON/サーボ0" + std::to_string(number) + ".LOG", Log(100 * number));
  }

  ProcessRun Run(const std::string& arguments) {
    return RunCommandLine(std::string(KZ_CLI_PATH) + " --settings " + folder.Path("KZMotion.ini") +
                          " import-logs " + arguments);
  }

  // The poses' labels (UTF-8) and first servo values in the written file.
  std::vector<std::pair<std::string, int>> Written(const std::string& name) const {
    std::vector<std::pair<std::string, int>> poses;
    const auto data = DecodeEditData(folder.Read(name), 180);
    if (!data) return poses;
    for (const Pose& pose : data->poses)
      poses.emplace_back(Cp932ToUtf8(pose.label).value_or("?"), pose.servo[0]);
    return poses;
  }

  TempFolder folder;
};

TEST_F(CliLogsTest, ReadsTheLogsOfAFolderOrOfTheCardIntoEditData) {
  WriteLogs(3);
  const std::vector<std::pair<std::string, int>> expected = {
      {"ポーズ1", 100}, {"ポーズ2", 200}, {"ポーズ3", 300}};

  const ProcessRun usb = Run(folder.Path("card/ADDON") + " -o " + folder.Path("usb.KZI"));
  EXPECT_EQ(usb.exitCode, 0) << usb.output;
  EXPECT_EQ(usb.output, "3 poses read from the servo logs\n");
  EXPECT_EQ(Written("usb.KZI"), expected);

  card::CardServer card(folder.Path("card"));
  const int port = card.Start();
  ASSERT_NE(port, 0);
  const ProcessRun wifi =
      Run("--flashair 127.0.0.1:" + std::to_string(port) + " -o " + folder.Path("wifi.KZI"));
  EXPECT_EQ(wifi.exitCode, 0) << wifi.output;
  EXPECT_EQ(folder.Read("wifi.KZI"), folder.Read("usb.KZI"));
  EXPECT_EQ(folder.Read("KZMotion.ini"), "[POSE]\nPOSE_TIME=45\n") << "settings only read";
}

TEST_F(CliLogsTest, TheCardsOwnFolderStandsForItsAddon) {
  WriteLogs(2);
  const ProcessRun card = Run(folder.Path("card") + " -o " + folder.Path("card.KZI"));
  EXPECT_EQ(card.exitCode, 0) << card.output;
  EXPECT_EQ(Written("card.KZI"),
            (std::vector<std::pair<std::string, int>>{{"ポーズ1", 100}, {"ポーズ2", 200}}));

  // A folder that holds a series itself is read as it is, ADDON or not.
  folder.Write("card/サーボ01.LOG", Log(900));
  const ProcessRun own = Run(folder.Path("card") + " -o " + folder.Path("own.KZI"));
  EXPECT_EQ(own.exitCode, 0) << own.output;
  EXPECT_EQ(Written("own.KZI"), (std::vector<std::pair<std::string, int>>{{"ポーズ1", 900}}));
}

TEST_F(CliLogsTest, NoLogsFailAndABadCommandLineIsRefused) {
  const ProcessRun none = Run(folder.Path("card/ADDON") + " -o " + folder.Path("out.KZI"));
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.output, "サーボログが採取されていません\n");
  EXPECT_EQ(folder.Read("out.KZI"), "<missing>");

  for (const char* arguments : {"-o x.KZI", "card", "card --flashair host -o x.KZI",
                                "--flashair -o x.KZI", "card -o x.KZI extra"}) {
    SCOPED_TRACE(arguments);
    EXPECT_EQ(Run(arguments).exitCode, 2);
  }
}

TEST_F(CliLogsTest, ALogTheCardFailsToSendIsAnErrorNotTheEndOfTheSeries) {
  // Log 01 arrives, log 02 gets an error page, log 03 would be there.
  CannedCard card([](const CannedCard::Request& request) {
    if (request.target.ends_with("01.LOG")) return CannedCard::Reply(200, Log(100));
    if (request.target.ends_with("02.LOG")) return CannedCard::Reply(500, "busy");
    return CannedCard::Reply(200, Log(300));
  });
  const ProcessRun run = Run("--flashair " + card.host() + " -o " + folder.Path("out.KZI"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("サーボログ[ADDON/サーボ02.LOG]の読み込みに失敗しました"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("HTTPステータス500"), std::string::npos) << run.output;
  EXPECT_EQ(folder.Read("out.KZI"), "<missing>") << "a series read only in part is not written";
}

}  // namespace
}  // namespace kz::testing
