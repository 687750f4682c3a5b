// Writing the record files to the card drive, and clearing the pose file.
#include "link/send_to_robot.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "fakes/bounded_run.h"
#include "fakes/editor_fixture.h"
#include "kzcard/card_server.h"
#include "link/records.h"
#include "model/settings.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

// A card drive in the temporary folder: card/ADDON, named in the settings.
class SendToRobotTest : public EditorFixture {
 protected:
  void SetUp() override {
    fs::create_directories(folder.Path("card/ADDON"));
    WriteSettings("[REMOTE]\nFOLDER_DIRECTORY=" + Card() + "\n");
    StartWithPoses(2);
  }
  std::string Card() const { return folder.Path("card") + "/"; }
  std::string Addon(const std::string& name) const { return folder.Read("card/ADDON/" + name); }
  std::string FolderSetting() const {
    return Settings(SettingsPath()).ReadText("REMOTE", "FOLDER_DIRECTORY", "<missing>", 260);
  }
  bool Send(int index) { return SendToRobot(*document, ui, index, sleeper); }

  std::vector<int> sleeps;
  SleepFunction sleeper = [this](int ms) { sleeps.push_back(ms); };
};

TEST_F(SendToRobotTest, PosesAndCommandsLandInTheirFiles) {
  folder.Write("card/ADDON/SERVO.LOG", std::string(300, 'x'));
  ASSERT_TRUE(Send(1));
  EXPECT_EQ(Addon("SERVO.LOG"), PoseRecord(*document, document->motion.poses[1]))
      << "the whole file is the record";
  ASSERT_TRUE(Send(kCommandExecute));
  EXPECT_EQ(Addon("REMOTE.LOG"), std::string("\xFE\xFF\x88\x03", 4) + std::string(12, '\0'));
  EXPECT_THAT(sleeps, IsEmpty());
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_EQ(document->cardFolder, Card());

  // A card folder typed without its final separator names the same folder.
  document->cardFolder = folder.Path("card");
  ASSERT_TRUE(Send(0));
  EXPECT_EQ(Addon("SERVO.LOG"), PoseRecord(*document, document->motion.poses[0]));
}

TEST_F(SendToRobotTest, AnUnwritableCardIsTriedEightTimesThenForgotten) {
  // Refused even to root: ADDON is a file, or SERVO.LOG is a folder.
  const std::function<void()> breakCard[] = {
      [&] {
        fs::remove_all(folder.Path("card/ADDON"));
        folder.Write("card/ADDON", "not a folder");
      },
      [&] { fs::create_directory(folder.Path("card/ADDON/SERVO.LOG")); },
  };
  for (const auto& breakIt : breakCard) {
    fs::remove_all(folder.Path("card"));
    fs::create_directories(folder.Path("card/ADDON"));
    breakIt();
    document->cardFolder = Card();
    Settings(SettingsPath()).WriteText("REMOTE", "FOLDER_DIRECTORY", Card());
    sleeps.clear();
    ui.shown.clear();

    EXPECT_FALSE(Send(0));
    EXPECT_THAT(sleeps, ElementsAre(100, 100, 100, 100, 100, 100, 100, 100));
    ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgRemoteFileWriteFailed));
    EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
    EXPECT_EQ(document->cardFolder, "");
    EXPECT_EQ(FolderSetting(), "") << "the next connection asks for the card again";
  }
}

TEST_F(SendToRobotTest, AFileHeldByAnotherProgramIsWrittenOnceItIsFree) {
  const std::string path = folder.Write("card/ADDON/SERVO.LOG", "held");
  const int holder = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  sleeper = [&](int ms) {
    sleeps.push_back(ms);
    if (sleeps.size() == 3) ::close(holder);  // the other program lets go
  };
  ASSERT_TRUE(Send(0));
  EXPECT_THAT(sleeps, ElementsAre(100, 100, 100));
  EXPECT_EQ(Addon("SERVO.LOG"), PoseRecord(*document, document->motion.poses[0]));
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(SendToRobotTest, NothingToSendOrNowhereToSendIt) {
  EXPECT_FALSE(Send(2)) << "no such pose";
  EXPECT_FALSE(Send(-1));
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_EQ(Addon("SERVO.LOG"), "<missing>");
  EXPECT_EQ(document->cardFolder, Card());

  // No card folder: nothing is written where the editor happened to start.
  document->cardFolder.clear();
  EXPECT_FALSE(Send(0));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgRemoteFileWriteFailed));
  EXPECT_THAT(sleeps, IsEmpty());
}

TEST_F(SendToRobotTest, ClearingOverwritesOnlyAnExistingPoseFile) {
  EXPECT_FALSE(ClearPoseFile(*document, ui));
  EXPECT_EQ(Addon("SERVO.LOG"), "<missing>") << "a missing file is not created";

  folder.Write("card/ADDON/SERVO.LOG", std::string(128, '\x7F'));
  EXPECT_TRUE(ClearPoseFile(*document, ui));
  EXPECT_EQ(Addon("SERVO.LOG"), std::string(128, '\0'));

  document->cardFolder.clear();
  EXPECT_FALSE(ClearPoseFile(*document, ui));
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(SendToRobotTest, ClearingWorksOnALongCardPath) {
  const std::string deep = "card/" + std::string(120, 'd') + "/";
  fs::create_directories(folder.Path(deep + "ADDON"));
  folder.Write(deep + "ADDON/SERVO.LOG", std::string(128, '\x7F'));
  document->cardFolder = folder.Path(deep);
  ASSERT_GT(document->cardFolder.size() + 15, 128u);
  EXPECT_TRUE(ClearPoseFile(*document, ui));
  EXPECT_EQ(folder.Read(deep + "ADDON/SERVO.LOG"), std::string(128, '\0'));
}

TEST_F(SendToRobotTest, ALinkOnTheCardIsNeverWrittenThrough) {
  const std::string victim = folder.Write("victim.txt", "the user's file");
  fs::create_symlink(victim, folder.Path("card/ADDON/SERVO.LOG"));

  EXPECT_FALSE(Send(0));
  EXPECT_EQ(folder.Read("victim.txt"), "the user's file");
  ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgCardFileNotRegular));
  EXPECT_EQ(ui.shown[0].args, std::vector<std::string>{Card() + "ADDON/SERVO.LOG"});
  EXPECT_THAT(sleeps, IsEmpty()) << "waiting cannot help";
  EXPECT_EQ(document->cardFolder, Card()) << "the card folder itself is right";
  EXPECT_FALSE(ClearPoseFile(*document, ui));
  EXPECT_EQ(ui.shown.size(), 1u) << "clearing stays quiet";
  EXPECT_EQ(folder.Read("victim.txt"), "the user's file");
  EXPECT_TRUE(fs::is_symlink(folder.Path("card/ADDON/SERVO.LOG")));
}

TEST_F(SendToRobotTest, AFifoOnTheCardNeitherBlocksNorIsReplaced) {
  ASSERT_EQ(::mkfifo(folder.Path("card/ADDON/REMOTE.LOG").c_str(), 0600), 0);
  // Opened for writing, a FIFO nobody reads would block for ever.
  ASSERT_EQ(RunInChild([&] { return Send(kCommandExecute); }), false);
  EXPECT_FALSE(Send(kCommandExecute));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgCardFileNotRegular));
  EXPECT_TRUE(fs::is_fifo(folder.Path("card/ADDON/REMOTE.LOG")));
}

TEST_F(SendToRobotTest, AFailedWriteLeavesThePreviousRecordWhole) {
  const std::string previous(128, '\x5A');
  folder.Write("card/ADDON/SERVO.LOG", previous);
  // A card that fills up in the middle of the record: no file may grow
  // beyond 100 bytes.
  EXPECT_EQ(RunInChild([&] {
              std::signal(SIGXFSZ, SIG_IGN);
              const rlimit limit{100, 100};
              ::setrlimit(RLIMIT_FSIZE, &limit);
              return Send(0);
            }),
            false);
  EXPECT_EQ(Addon("SERVO.LOG"), previous);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path("card/ADDON")), {}), 1)
      << "no temporary file is left";
}

TEST_F(SendToRobotTest, ARecordReplacesThePreviousFileAsAWhole) {
  const std::string previous(128, '\x5A');
  const std::string path = folder.Write("card/ADDON/SERVO.LOG", previous);
  // The robot in the middle of reading the last record.
  const int reader = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(Send(1));
  std::string seen(256, '\0');
  seen.resize(static_cast<std::size_t>(std::max<ssize_t>(::pread(reader, seen.data(), 256, 0), 0)));
  ::close(reader);
  EXPECT_EQ(seen, previous) << "never a mixture of two records";
  EXPECT_EQ(Addon("SERVO.LOG"), PoseRecord(*document, document->motion.poses[1]));
}

TEST_F(SendToRobotTest, OverFlashAirTheRecordsAreUploaded) {
  card::CardServer server(folder.Path("card"));
  const int port = server.Start();
  ASSERT_NE(port, 0);
  document->useFlashAir = true;
  document->flashAirHost = "127.0.0.1:" + std::to_string(port);

  ASSERT_TRUE(Send(1));
  EXPECT_EQ(Addon("SERVO.LOG"), PoseRecord(*document, document->motion.poses[1]));
  ASSERT_TRUE(Send(kCommandConnect));
  EXPECT_EQ(Addon("REMOTE.LOG"), CommandRecord(kCommandConnect));
  EXPECT_FALSE(ClearPoseFile(*document, ui)) << "over Wi-Fi clearing never reports success";
  EXPECT_EQ(Addon("SERVO.LOG"), std::string(128, '\0'));
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_THAT(sleeps, IsEmpty());

  // The card goes away.
  server.Stop();
  EXPECT_FALSE(ClearPoseFile(*document, ui));
  EXPECT_THAT(ui.shown, IsEmpty()) << "clearing asks the card quietly";
  EXPECT_FALSE(Send(0));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgFlashAirFailed, kMsgFlashAirUnreachable));
  EXPECT_EQ(ui.shown[1].kind, BoxKind::kOk);
  EXPECT_THAT(sleeps, IsEmpty()) << "the Wi-Fi road does not retry";
  EXPECT_EQ(document->cardFolder, Card()) << "the card folder is kept";
}

}  // namespace
}  // namespace kz::testing
