#include "cli/link_commands.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>

#include "cli/exit_codes.h"
#include "commands/edit_data_commands.h"
#include "commands/motion_file_commands.h"
#include "link/capture.h"
#include "link/card_host.h"
#include "link/playback.h"
#include "link/records.h"
#include "link/remote_connection.h"
#include "link/send_to_robot.h"
#include "platform/file_io.h"
#include "platform/http_client.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz {
namespace {

// How long clearing the pose file may take after Ctrl+C: a card that stopped
// answering must not hold the command.
constexpr std::chrono::milliseconds kClearAfterStop{700};

// What a command takes besides its name.
enum Wants : unsigned { kInput = 1, kOutput = 2, kTarget = 4, kPose = 8 };

// The words of one command, as typed (UTF-8).
struct LinkWords {
  std::string input;
  std::string output;
  std::string card;
  std::string host;
  int pose = 0;  // numbered from 1
};

// A pose number: decimal digits, 1 or more; 0 when it is not one.
int PoseNumber(const std::string& text) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  return std::stoi(text);
}

// nullopt after saying what is wrong on standard error.
std::optional<LinkWords> ParseWords(const char* command, const std::vector<std::string>& args,
                                    unsigned wants) {
  LinkWords words;
  const auto fail = [command](const std::string& why) {
    std::fprintf(stderr, "kzmotion-cli %s: %s\n", command, why.c_str());
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    const bool hasValue = i + 1 < args.size();
    if (word == "-o" && (wants & kOutput) && hasValue) {
      words.output = args[++i];
    } else if (word == "--card" && (wants & kTarget) && hasValue) {
      words.card = args[++i];
    } else if (word == "--flashair" && (wants & kTarget) && hasValue) {
      words.host = args[++i];
    } else if (word == "--pose" && (wants & kPose) && hasValue) {
      words.pose = PoseNumber(args[++i]);
      if (words.pose == 0) return fail("--pose takes a pose number from 1, not " + args[i]);
    } else if ((wants & kInput) && words.input.empty() && !word.starts_with("-")) {
      words.input = word;
    } else {
      return fail("unexpected " + word);
    }
  }
  if ((wants & kInput) && words.input.empty()) return fail("needs a motion file");
  if ((wants & kOutput) && words.output.empty()) return fail("needs -o OUTPUT");
  if ((wants & kPose) && words.pose == 0) return fail("needs --pose N");
  if ((wants & kTarget) && words.card.empty() == words.host.empty())
    return fail("needs either --card FOLDER or --flashair HOST");
  if (!words.host.empty() && !IsCardHost(words.host))
    return fail(FormatMessage(kMsgFlashAirHostInvalid, {words.host}));
  return words;
}

// Points the document at the card of the command line. False, after saying
// so, when a card folder has no ADDON for the robot's remote program.
bool UseTarget(CliSession& session, const LinkWords& words) {
  MotionDocument& document = session.document;
  if (!words.host.empty()) {
    document.useFlashAir = true;
    document.flashAirHost = words.host;
    return true;
  }
  const auto card = CommandLinePath(words.card);
  if (!card) return false;
  document.useFlashAir = false;
  document.cardFolder = JoinPath(*card, "");  // with its final separator
  return CheckCardFolder(document, session.prompts);
}

std::string LabelText(const Pose& pose) { return Cp932ToUtf8(pose.label).value_or("?"); }

// Opens the motion and checks that it has pose `number`.
bool OpenWithPose(CliSession& session, const std::string& path, const char* command, int number) {
  if (!OpenMotionFile(session.document, session.ui, path)) return false;
  const int count = session.document.poseCount();
  if (number <= count) return true;
  if (count == 0)
    std::fprintf(stderr, "kzmotion-cli %s: the motion has no poses\n", command);
  else
    std::fprintf(stderr, "kzmotion-cli %s: the motion has %d poses, not %d\n", command, count,
                 number);
  return false;
}

volatile std::sig_atomic_t stopRequested = 0;

// Also ends a request to the card under way: a silent card would otherwise
// keep Ctrl+C waiting for its time limits.
extern "C" void RequestStop(int) {
  stopRequested = 1;
  AbortHttpRequests();
}

// Waits `milliseconds` on the monotonic clock; false as soon as Ctrl+C is
// pressed.
bool WaitUnlessStopped(int milliseconds) {
  using Clock = std::chrono::steady_clock;
  constexpr auto kSlice = std::chrono::milliseconds(20);
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (Clock::time_point now = Clock::now(); !stopRequested && now < end; now = Clock::now())
    std::this_thread::sleep_for(std::min<Clock::duration>(kSlice, end - now));
  return !stopRequested;
}

// Passes messages on until Ctrl+C: what fails after it (the request it cut
// short) is no news to the user.
class StoppablePrompts : public Prompts {
 public:
  explicit StoppablePrompts(Prompts& inner) : inner_(inner) {}
  using Prompts::ShowMessage;
  Button ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args,
                     const std::string& details) override {
    if (stopRequested) return Button::kCancel;
    return inner_.ShowMessage(messageId, kind, args, details);
  }

 private:
  Prompts& inner_;
};

// Clears the card's pose file, giving up after `budget`.
void ClearPoseFileWithin(MotionDocument& document, Prompts& prompts,
                         std::chrono::milliseconds budget) {
  ResumeHttpRequests();
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock lock(mutex);
    if (!finished.wait_for(lock, budget, [&] { return done; })) AbortHttpRequests();
  });
  ClearPoseFile(document, prompts);
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  finished.notify_one();
  watchdog.join();
}

}  // namespace

int RunSend(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args) {
  const auto words = ParseWords("send", args, kInput | kPose | kTarget);
  if (!words) return kBadCommandLine;
  const auto input = CommandLinePath(words->input);
  if (!input) return kBadCommandLine;
  CliSession session(settingsPath, options);
  if (!OpenWithPose(session, *input, "send", words->pose)) return kFailed;
  if (!UseTarget(session, *words)) return kFailed;
  const int index = words->pose - 1;
  if (!SendToRobot(session.document, session.prompts, index)) return kFailed;
  std::printf("pose %d %s\n", words->pose,
              LabelText(session.document.motion.poses[static_cast<std::size_t>(index)]).c_str());
  return kDone;
}

int RunPlay(const std::string& settingsPath, const GlobalOptions& options,
            const std::vector<std::string>& args) {
  const auto words = ParseWords("play", args, kInput | kTarget);
  if (!words) return kBadCommandLine;
  const auto input = CommandLinePath(words->input);
  if (!input) return kBadCommandLine;
  CliSession session(settingsPath, options);
  if (!OpenWithPose(session, *input, "play", 1)) return kFailed;
  if (!UseTarget(session, *words)) return kFailed;

  MotionDocument& document = session.document;
  stopRequested = 0;
  ResumeHttpRequests();
  struct sigaction action {};
  action.sa_handler = RequestStop;
  action.sa_flags = SA_RESTART;  // a card write under way completes
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);

  StoppablePrompts prompts(session.prompts);
  BeginPlayback(document);
  for (;;) {
    const PlaybackSent sent = StepPlayback(document, prompts);
    if (stopRequested) break;           // in the middle of the send
    if (sent.pose < 0) return kFailed;  // the send has said why
    std::printf("pose %d %s\n", sent.pose + 1,
                LabelText(document.motion.poses[static_cast<std::size_t>(sent.pose)]).c_str());
    std::fflush(stdout);
    if (sent.waitMs < 0) return kDone;
    if (!WaitUnlessStopped(sent.waitMs)) break;
  }
  // Stopped: the robot should not take the last pose up again.
  document.playing = false;
  ClearPoseFileWithin(document, prompts, kClearAfterStop);
  std::fputs("stopped\n", stdout);
  return kStopped;
}

int RunCapture(const std::string& settingsPath, const GlobalOptions& options,
               const std::vector<std::string>& args) {
  const auto words = ParseWords("capture", args, kOutput | kTarget);
  if (!words) return kBadCommandLine;
  const auto output = CommandLinePath(words->output);
  if (!output) return kBadCommandLine;
  if (IsProgramTextPath(*output)) {
    std::fputs("kzmotion-cli capture: -o takes an edit-data file (.KZI)\n", stderr);
    return kBadCommandLine;
  }
  CliSession session(settingsPath, options);
  MotionDocument& document = session.document;
  if (FileExists(*output) && !OpenMotionFile(document, session.ui, *output)) return kFailed;
  if (!UseTarget(session, *words)) return kFailed;
  // A full motion (or a refused travel time) adds no pose: the file is then
  // left as it was rather than have its last pose replaced.
  if (!AppendCapturedPose(document, session.prompts)) return kFailed;
  if (SaveEditDataTo(document, session.prompts, *output) != SaveResult::kSaved) return kFailed;
  std::printf("pose %d %s\n", document.poseCount(), LabelText(document.current()).c_str());
  return kDone;
}

int RunRecord(const std::string& settingsPath, const GlobalOptions& options,
              const std::vector<std::string>& args) {
  const auto words = ParseWords("record", args, kInput | kPose | kOutput);
  if (!words) return kBadCommandLine;
  const auto input = CommandLinePath(words->input);
  const auto output = CommandLinePath(words->output);
  if (!input || !output) return kBadCommandLine;
  CliSession session(settingsPath, options);
  if (!OpenWithPose(session, *input, "record", words->pose)) return kFailed;
  const Pose& pose = session.document.motion.poses[static_cast<std::size_t>(words->pose - 1)];
  if (!WriteFileAtomically(*output, PoseRecord(session.document, pose))) {
    std::fprintf(stderr, "kzmotion-cli record: cannot write %s\n", words->output.c_str());
    return kFailed;
  }
  return kDone;
}

}  // namespace kz
