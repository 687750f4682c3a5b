// The simulator: starting the real KZSimulator, exchanging records with it
// through the temporary folder, and closing it.
#include "link/simulator.h"

#include <gmock/gmock.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

#include "commands/capture_commands.h"
#include "commands/simulator_commands.h"
#include "fakes/editor_fixture.h"
#include "kzcard/card_server.h"
#include "link/capture.h"
#include "link/records.h"
#include "link/send_to_robot.h"
#include "model/settings.h"
#include "platform/process.h"
#include "platform/simulator_channel.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

const std::string kSimulatorFolder = fs::path(KZ_SIMULATOR_PATH).parent_path().string();

// Each test has its own temporary folder, so simulators never share sockets
// or record files.
class SimulatorTest : public EditorFixture {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("TMPDIR")) savedTmp_ = old;
    fs::create_directories(folder.Path("tmp"));
    ::setenv("TMPDIR", folder.Path("tmp").c_str(), 1);
  }
  void TearDown() override {
    // A test that failed half-way leaves no simulator behind.
    if (document && document->simProcess && ProcessRunning(*document->simProcess)) {
      ::kill(*document->simProcess, SIGKILL);
      ::waitpid(*document->simProcess, nullptr, 0);
    }
    if (savedTmp_) {
      ::setenv("TMPDIR", savedTmp_->c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
  }

  void Toggle(bool on) {
    ui.SetChecked(ctl::kSimulator, on);
    ToggleSimulator(*document, editor);
  }
  std::string FolderSetting() const {
    return Settings(SettingsPath()).ReadText("SIMULATOR", "FOLDER_PATH", "<missing>", 260);
  }
  // The simulator's state controls: 14, 1061, 15 on; 16, 1063 off.
  void ExpectSimulatorControls(bool on) {
    for (const int id : {ctl::kRemoteSend, ctl::kReplay, ctl::kCapture})
      EXPECT_EQ(ui.IsEnabled(id), on) << id;
    for (const int id : {ctl::kDirectExecute, ctl::kRemoteConnection})
      EXPECT_EQ(ui.IsEnabled(id), !on) << id;
  }
  // Waits, with a generous bound, for the process to end; true once it has
  // ended and been reaped.
  static bool EndsAndIsReaped(int pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ProcessRunning(pid) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ::kill(pid, 0) == -1 && errno == ESRCH;
  }

 private:
  std::optional<std::string> savedTmp_;
};

TEST_F(SimulatorTest, SendAndCaptureGoThroughTheRunningSimulator) {
  WriteSettings("[SIMULATOR]\nFOLDER_PATH=" + kSimulatorFolder + "\n[REMOTE]\nWAIT_CAPTURE=300\n");
  StartWithPoses(2);

  Toggle(true);
  ASSERT_TRUE(document->simProcess);
  ASSERT_TRUE(document->simulatorFound) << "the socket is found";
  EXPECT_TRUE(ui.IsChecked(ctl::kSimulator));
  EXPECT_EQ(document->remoteFolder, folder.Path("tmp") + "/");
  EXPECT_EQ(FolderSetting(), kSimulatorFolder);
  EXPECT_THAT(ui.fileRequests, IsEmpty());
  ExpectSimulatorControls(true);

  ASSERT_TRUE(SendToRobot(*document, ui, 1));
  EXPECT_EQ(folder.Read("tmp/SERVO.LOG"), PoseRecord(*document, document->motion.poses[1]));

  // Pose 1 is held by the simulator while pose 0 is shown.
  ASSERT_TRUE(CapturePose(*document, editor));
  for (int k = 0; k < kServoCount; ++k) EXPECT_EQ(ui.ReadNumber(ctl::ServoField(k)), 100 + k) << k;
  EXPECT_THAT(ui.shown, IsEmpty());

  const int first = *document->simProcess;
  Toggle(false);
  EXPECT_FALSE(document->simulatorFound);
  ExpectSimulatorControls(false);
  EXPECT_TRUE(EndsAndIsReaped(first));
  EXPECT_FALSE(fs::exists(SimulatorSocketPath(first))) << "the simulator removes its socket";

  // On again: a new process, found anew, the same exchange folder.
  Toggle(true);
  ASSERT_TRUE(document->simulatorFound);
  EXPECT_NE(*document->simProcess, first);
  EXPECT_EQ(document->remoteFolder, folder.Path("tmp") + "/");
  Toggle(false);
  EXPECT_TRUE(EndsAndIsReaped(*document->simProcess));
}

TEST_F(SimulatorTest, WithFlashAirConfiguredSendsStillGoToTheSimulator) {
  // No FOLDER_PATH: the simulator is taken from beside the settings file.
  fs::create_symlink(KZ_SIMULATOR_PATH, folder.Path("KZSimulator"));
  std::vector<std::string> requests;
  card::CardServer server(folder.Path("card"), [&](const card::CardRequest& request) {
    requests.push_back(request.target);
  });
  fs::create_directories(folder.Path("card"));
  const int port = server.Start();
  ASSERT_NE(port, 0);
  WriteSettings("");
  StartWithPoses(1);
  document->useFlashAir = true;
  document->flashAirHost = "127.0.0.1:" + std::to_string(port);

  Toggle(true);
  ASSERT_TRUE(document->simulatorFound);
  EXPECT_THAT(ui.fileRequests, IsEmpty());
  EXPECT_EQ(FolderSetting(), folder.path()) << "written without a final separator";

  ASSERT_TRUE(SendToRobot(*document, ui, 0));
  EXPECT_EQ(folder.Read("tmp/SERVO.LOG"), PoseRecord(*document, document->motion.poses[0]));
  server.Stop();
  EXPECT_THAT(requests, IsEmpty());
  EXPECT_FALSE(fs::exists(folder.Path("card/ADDON/SERVO.LOG")));

  const int pid = *document->simProcess;
  Toggle(false);
  EXPECT_TRUE(EndsAndIsReaped(pid));
}

TEST_F(SimulatorTest, AMissingExecutableWithTheDialogCancelledClearsTheBox) {
  WriteSettings("[SIMULATOR]\nFOLDER_PATH=" + folder.Path("nowhere") + "\n");
  StartWithPoses(1);
  ui.fileAnswers.push_back(std::nullopt);

  Toggle(true);
  EXPECT_FALSE(ui.IsChecked(ctl::kSimulator));
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].initialName, folder.Path("nowhere") + "/KZSimulator");
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_FALSE(document->simProcess);
  EXPECT_EQ(FolderSetting(), folder.Path("nowhere"));
  EXPECT_TRUE(document->remoteFolder.empty());
}

TEST_F(SimulatorTest, AFileThatCannotRunShowsTheStartFailure) {
  WriteSettings("[SIMULATOR]\nFOLDER_PATH=" + folder.Path("nowhere") + "\n");
  StartWithPoses(1);
  const std::string text = folder.Write("text.txt", "not a program\n");
  const std::string garbage = folder.Write("garbage", std::string("\x01\x02\x03\x04", 4));
  fs::permissions(garbage, fs::perms::owner_exec, fs::perm_options::add);

  // A failed start leaves the controls as they were.
  const int kLinkControls[] = {ctl::kRemoteSend, ctl::kReplay, ctl::kCapture, ctl::kDirectExecute,
                               ctl::kRemoteConnection};
  std::map<int, bool> before;
  for (const int id : kLinkControls) before[id] = ui.IsEnabled(id);

  for (const std::string& path : {text, garbage, folder.Path("tmp")}) {
    ui.shown.clear();
    ui.fileAnswers.push_back(FileDialogAnswer{path, false});
    Toggle(true);
    EXPECT_FALSE(ui.IsChecked(ctl::kSimulator)) << path;
    EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSimulatorFailed)) << path;
    EXPECT_FALSE(document->simProcess) << path;
    EXPECT_EQ(FolderSetting(), folder.Path("nowhere")) << "settings unchanged";
    for (const int id : kLinkControls) EXPECT_EQ(ui.IsEnabled(id), before[id]) << "control " << id;
  }
}

TEST(SimulatorChannel, PostingToNoSimulatorFailsWithoutBlocking) {
  // No socket under that process id: nothing to deliver, and no wait.
  EXPECT_FALSE(PostToSimulator(999999999, kSimDataWritten));
}

}  // namespace
}  // namespace kz::testing
