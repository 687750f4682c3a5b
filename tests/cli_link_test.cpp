// kzmotion-cli's live link, run as a child process against a card folder and
// against a FlashAir card on loopback.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "commands/edit_data_commands.h"
#include "fakes/editor_fixture.h"
#include "fakes/loopback_server.h"
#include "fakes/process_run.h"
#include "formats/edit_data.h"
#include "kzcard/card_server.h"
#include "link/records.h"
#include "ui/control_ids.h"

extern char** environ;

namespace kz::testing {
namespace {

namespace fs = std::filesystem;

// A running kzmotion-cli whose standard output and error come through a pipe.
class CliChild {
 public:
  explicit CliChild(const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    std::vector<std::string> words{KZ_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, KZ_CLI_PATH, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    out_ = pipeFds[0];
  }
  ~CliChild() {
    if (pid_ > 0) Finish();
  }

  // Reads until `text` has appeared in the output, or the output ends.
  bool WaitFor(const std::string& text) {
    while (output_.find(text) == std::string::npos)
      if (!ReadSome()) return false;
    return true;
  }
  void Signal(int signal) { ::kill(pid_, signal); }

  // Reads to the end and reaps the child.
  ProcessRun Finish() {
    while (ReadSome()) {
    }
    ::close(out_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output_};
  }

 private:
  bool ReadSome() {
    std::array<char, 4096> buffer{};
    const ssize_t got = ::read(out_, buffer.data(), buffer.size());
    if (got <= 0) return false;
    output_.append(buffer.data(), static_cast<std::size_t>(got));
    return true;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

// A motion of three short poses saved as walk.KZI, back and forth twice,
// and a card folder with ADDON.
class CliLinkTest : public EditorFixture {
 protected:
  void SetUp() override {
    fs::create_directories(folder.Path("card/ADDON"));
    WriteSettings(
        "[GENERAL]\nKAZO_MODEL=2\n[POSE]\nSPEED_CHECK=0\nPROGRAM_TORQUE=70\n"
        "[REMOTE]\nSLOW_CHECK=1\nSLOW_RATIO=2\n");
    StartWithPoses(3);
    for (Pose& pose : document->motion.poses) {
      pose.travelTime = 1;
      pose.holdTime = 0;
    }
    document->motion.poses[2].travelTime = 3;  // 6 at the slow ratio
    ShowPose(*document, ui);
    ui.WriteNumber(ctl::kLoopCount, 2);
    ui.SetChecked(ctl::kBackAndForth, true);
    SaveMotion("walk.KZI");
  }

  void SaveMotion(const std::string& name) {
    ui.fileAnswers.push_back(FileDialogAnswer{folder.Path(name), false});
    ASSERT_EQ(SaveEditData(*document, editor), SaveResult::kSaved);
  }

  ProcessRun Run(const std::string& arguments) {
    std::vector<std::string> args{"--settings", SettingsPath()};
    std::string word;
    for (char c : arguments + " ") {
      if (c != ' ') {
        word += c;
      } else if (!word.empty()) {
        args.push_back(word);
        word.clear();
      }
    }
    return CliChild(args).Finish();
  }

  std::string Motion() const { return folder.Path("walk.KZI"); }
  std::string Card() const { return folder.Path("card"); }
  std::string Addon(const std::string& name) const { return folder.Read("card/ADDON/" + name); }

  // The edit data in `name`, read as the editor reads it.
  kz::Motion Saved(const std::string& name) const {
    const auto data = DecodeEditData(folder.Read(name), 180);
    EXPECT_TRUE(data) << name;
    return data.value_or(kz::Motion{});
  }

  void WriteCapture(std::uint16_t state, std::int16_t first) {
    std::array<std::int16_t, kServoCount> servos{};
    servos[0] = first;
    servos[19] = 19;
    folder.Write("card/ADDON/CAPTURE.LOG", CaptureRecord(servos, state));
  }
};

TEST_F(CliLinkTest, RecordWritesThePoseAsTheSettingsSendIt) {
  const ProcessRun run = Run("record " + Motion() + " --pose 3 -o " + folder.Path("SERVO.LOG"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string record = folder.Read("SERVO.LOG");
  ASSERT_EQ(record.size(), kPoseRecordSize);
  EXPECT_EQ(record[0], '\x06') << "travel 3 at slow ratio 2";
  EXPECT_EQ(record[1], '\x46') << "model 2: torque 70";
  EXPECT_EQ(record, PoseRecord(*document, document->motion.poses[2]));

  const struct {
    std::string arguments;
    int exitCode;
  } refused[] = {
      {"record " + Motion() + " --pose 4 -o " + folder.Path("x.LOG"), 1},  // no such pose
      {"record " + Motion() + " --pose 0 -o " + folder.Path("x.LOG"), 2},
      {"record " + Motion() + " --pose 1", 2},
      {"record " + folder.Path("none.KZI") + " --pose 1 -o " + folder.Path("x.LOG"), 1},
  };
  for (const auto& r : refused) {
    const ProcessRun bad = Run(r.arguments);
    EXPECT_EQ(bad.exitCode, r.exitCode) << r.arguments << "\n" << bad.output;
  }
  EXPECT_EQ(folder.Read("x.LOG"), "<missing>");
}

TEST_F(CliLinkTest, SendWritesOnePoseToTheCard) {
  const ProcessRun run = Run("send " + Motion() + " --pose 2 --card " + Card());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "pose 2 ポーズ2\n");
  EXPECT_EQ(Addon("SERVO.LOG"), PoseRecord(*document, document->motion.poses[1]));

  fs::remove_all(folder.Path("card/ADDON"));
  const ProcessRun noAddon = Run("send " + Motion() + " --pose 2 --card " + Card());
  EXPECT_EQ(noAddon.exitCode, 1);
  EXPECT_NE(noAddon.output.find("リモート接続用のフォルダーが存在しません"), std::string::npos)
      << noAddon.output;

  EXPECT_EQ(Run("send " + Motion() + " --pose 2").exitCode, 2) << "no target";
  EXPECT_EQ(Run("send " + Motion() + " --pose 2 --card " + Card() + " --flashair h").exitCode, 2)
      << "two targets";
}

TEST_F(CliLinkTest, PlayFollowsTheLoopCountAndBackAndForthOfTheFile) {
  const ProcessRun run = Run("play " + Motion() + " --card " + Card());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output,
            "pose 1 ポーズ1\npose 2 ポーズ2\npose 3 ポーズ3\npose 2 ポーズ2\npose 1 ポーズ1\n"
            "pose 1 ポーズ1\npose 2 ポーズ2\npose 3 ポーズ3\npose 2 ポーズ2\npose 1 ポーズ1\n");
  EXPECT_EQ(Addon("SERVO.LOG"), PoseRecord(*document, document->motion.poses[0]));
}

TEST_F(CliLinkTest, CtrlCStopsPlayAndClearsThePoseFile) {
  document->motion.poses[0].travelTime = 600;  // 20 s at the slow ratio: stopped long before
  ShowPose(*document, ui);
  SaveMotion("slow.KZI");
  CliChild child({"--settings", SettingsPath(), "play", folder.Path("slow.KZI"), "--card", Card()});
  ASSERT_TRUE(child.WaitFor("pose 1 ポーズ1\n"));
  EXPECT_EQ(Addon("SERVO.LOG"), PoseRecord(*document, document->motion.poses[0]));
  child.Signal(SIGINT);
  const ProcessRun run = child.Finish();
  EXPECT_EQ(run.exitCode, 130);
  EXPECT_EQ(run.output, "pose 1 ポーズ1\nstopped\n");
  EXPECT_EQ(Addon("SERVO.LOG"), std::string(kPoseRecordSize, '\0'));
}

TEST_F(CliLinkTest, CtrlCEndsPlayOverWiFiAtOnceEvenInTheMiddleOfARequest) {
  document->motion.poses[0].travelTime = 600;
  ShowPose(*document, ui);
  SaveMotion("slow.KZI");

  // A card that answers: stopped during the wait, the pose file is cleared.
  card::CardServer server(Card());
  const int port = server.Start();
  ASSERT_NE(port, 0);
  {
    CliChild child({"--settings", SettingsPath(), "play", folder.Path("slow.KZI"), "--flashair",
                    "127.0.0.1:" + std::to_string(port)});
    ASSERT_TRUE(child.WaitFor("pose 1 ポーズ1\n"));
    EXPECT_EQ(Addon("SERVO.LOG"), PoseRecord(*document, document->motion.poses[0]));
    child.Signal(SIGINT);
    const ProcessRun run = child.Finish();
    EXPECT_EQ(run.exitCode, 130) << run.output;
    EXPECT_EQ(Addon("SERVO.LOG"), std::string(kPoseRecordSize, '\0'));
  }

  // A card that never answers: Ctrl+C does not wait for its time limits.
  LoopbackPort silent(true);
  CliChild child(
      {"--settings", SettingsPath(), "play", folder.Path("slow.KZI"), "--flashair", silent.host()});
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // inside the first request
  const auto start = std::chrono::steady_clock::now();
  child.Signal(SIGINT);
  const ProcessRun run = child.Finish();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 3.0) << "a generous bound; the card's limits are 5 and 10 s";
  EXPECT_EQ(run.exitCode, 130);
  EXPECT_EQ(run.output, "stopped\n");
}

TEST_F(CliLinkTest, AHostThatIsNoCardsAddressIsRefused) {
  for (const char* host : {"127.0.0.1:80/ADDON", "user@flashair", "flashair:0", "flashair?x"}) {
    const ProcessRun run = Run("send " + Motion() + " --pose 1 --flashair " + host);
    EXPECT_EQ(run.exitCode, 2) << host;
    EXPECT_NE(run.output.find("ホスト名"), std::string::npos) << run.output;
  }
}

TEST_F(CliLinkTest, CaptureCreatesTheFileThenAppends) {
  WriteCapture(kCaptureTaken, -1501);
  const ProcessRun first = Run("capture --card " + Card() + " -o " + folder.Path("new.KZI"));
  ASSERT_EQ(first.exitCode, 0) << first.output;
  EXPECT_EQ(first.output, "pose 1 ポーズ1\n");
  kz::Motion saved = Saved("new.KZI");
  ASSERT_EQ(saved.poses.size(), 1u);
  EXPECT_EQ(saved.poses[0].servo[0], -1501) << "a first pose takes the values unchecked";

  WriteCapture(kCaptureTaken, 1200);
  const ProcessRun second = Run("capture --card " + Card() + " -o " + folder.Path("new.KZI"));
  ASSERT_EQ(second.exitCode, 0) << second.output;
  EXPECT_EQ(second.output, "pose 2 ポーズ2\n");
  saved = Saved("new.KZI");
  ASSERT_EQ(saved.poses.size(), 2u);
  EXPECT_EQ(saved.poses[0].servo[0], -1501);
  EXPECT_EQ(saved.poses[1].servo[0], 1200);
  EXPECT_EQ(saved.poses[1].servo[19], 19);

  // Nothing captured yet: the file stays as it was.
  const std::string before = folder.Read("new.KZI");
  WriteCapture(1, 1200);
  const ProcessRun none = Run("capture --card " + Card() + " -o " + folder.Path("new.KZI"));
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.output.find("まだサーボデータが採取されていません"), std::string::npos)
      << none.output;
  EXPECT_EQ(folder.Read("new.KZI"), before);
  EXPECT_EQ(Run("capture --card " + Card() + " -o " + folder.Path("x.KM4")).exitCode, 2)
      << "capture writes edit data only";
}

TEST_F(CliLinkTest, ACaptureTheEditorWouldRefuseLeavesTheFileAsItWas) {
  const struct {
    const char* what;
    std::string pose;  // the settings' [POSE] lines
    std::string sound;
    std::string output;
    std::string message;
  } cases[] = {
      {"the motion is full", "SPEED_CHECK=0\nMAX_POSE=3\n", "", "walk.KZI",
       "これ以上ポーズは挿入できません"},
      {"the last pose's travel time", "SPEED_CHECK=1\n", "", "walk.KZI",
       "サーボの移動時間を20以下"},
      {"the default travel time", "SPEED_CHECK=1\nPOSE_TIME=19\n", "", "new.KZI",
       "サーボの移動時間を20以下"},
      {"a start sound too long for the file", "SPEED_CHECK=0\n",
       "START_SOUND=" + std::string(32, 's') + ".wav\n", "new.KZI", "が長すぎます"},
  };
  WriteCapture(kCaptureTaken, 1200);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSettings("[GENERAL]\nKAZO_MODEL=2\n[POSE]\n" + c.pose + "[SOUND]\n" + c.sound);
    const std::string before = folder.Read(c.output);
    const ProcessRun run = Run("capture --card " + Card() + " -o " + folder.Path(c.output));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("pose "), std::string::npos) << run.output;
    EXPECT_EQ(folder.Read(c.output), before);
  }
}

TEST_F(CliLinkTest, ACaptureOverAFailingCardWritesNothing) {
  const struct {
    const char* what;
    std::string answer;
    std::string kind;
  } cases[] = {
      {"a redirect", CannedCard::Reply(302, "", "Location: http://127.0.0.1:1/\r\n"),
       "HTTPステータス302"},
      {"a record cut short",
       "HTTP/1.1 200 OK\r\nContent-Length: 128\r\nConnection: close\r\n\r\n" +
           std::string(100, '\2'),
       "通信が途中で切れました"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CannedCard card([&](const CannedCard::Request&) { return c.answer; });
    const ProcessRun run =
        Run("capture --flashair " + card.host() + " -o " + folder.Path("new.KZI"));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("FlashAirとの通信に失敗しました[" + c.kind + "]"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("\n  ("), std::string::npos) << "the details follow: " << run.output;
    EXPECT_EQ(folder.Read("new.KZI"), "<missing>");
  }
}

TEST_F(CliLinkTest, SendAndCaptureOverFlashAir) {
  card::CardServer server(Card());
  const int port = server.Start();
  ASSERT_NE(port, 0);
  const std::string host = "127.0.0.1:" + std::to_string(port);

  const ProcessRun send = Run("send " + Motion() + " --pose 1 --flashair " + host);
  ASSERT_EQ(send.exitCode, 0) << send.output;
  EXPECT_EQ(Addon("SERVO.LOG"), PoseRecord(*document, document->motion.poses[0]));

  WriteCapture(kCaptureTaken, 321);
  const ProcessRun capture = Run("capture --flashair " + host + " -o " + Motion());
  ASSERT_EQ(capture.exitCode, 0) << capture.output;
  EXPECT_EQ(capture.output, "pose 4 ポーズ4\n");
  const kz::Motion saved = Saved("walk.KZI");
  ASSERT_EQ(saved.poses.size(), 4u);
  EXPECT_EQ(saved.poses[3].servo[0], 321);
  EXPECT_EQ(saved.poses[3].travelTime, 3) << "a copy of the last pose";
  EXPECT_TRUE(saved.backAndForth) << "the rest of the file is kept";
  EXPECT_EQ(saved.loopCount, 2);

  server.Stop();
  const ProcessRun down = Run("send " + Motion() + " --pose 1 --flashair " + host);
  EXPECT_EQ(down.exitCode, 1);
  EXPECT_NE(down.output.find("Flash Airと接続できません"), std::string::npos) << down.output;
}

}  // namespace
}  // namespace kz::testing
