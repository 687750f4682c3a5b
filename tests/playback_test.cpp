// Remote send and playback: which poses reach the card, in which order, and
// how long the timer waits between them.
#include "link/playback.h"

#include "commands/playback_commands.h"

#include <gmock/gmock.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "fakes/scripted_ui.h"
#include "fakes/temp_folder.h"
#include "link/records.h"
#include "model/editor.h"
#include "platform/text_encoding.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

// The window, noting the period each arming of the timer asks for.
class TimedUi : public ScriptedUi {
 public:
  void StartTimer(int timerId, int milliseconds) override {
    ScriptedUi::StartTimer(timerId, milliseconds);
    periods.push_back(milliseconds);
  }
  std::vector<int> periods;
};

class PlaybackTest : public ::testing::Test {
 protected:
  // `count` poses on a card drive; servo 0 of pose i holds 100 * i.
  void Start(int count, const std::string& extraSettings = "") {
    fs::create_directories(folder.Path("card/ADDON"));
    folder.Write("KZMotion.ini",
                 "[REMOTE]\nFOLDER_DIRECTORY=" + folder.Path("card/") + "\n" + extraSettings);
    document = std::make_unique<MotionDocument>(folder.Path("KZMotion.ini"));
    InitEditor(*document, editor);
    for (int i = 0; i < count; ++i) {
      Pose pose = NewPose(*document);
      pose.servo[0] = static_cast<std::int16_t>(100 * i);
      pose.label = SystemText("ポーズ" + std::to_string(i + 1));
      document->motion.poses.push_back(pose);
    }
    document->currentPose = 0;
    RebuildPoseTabs(*document, ui);
    ShowPose(*document, ui);
  }

  // The pose whose record the last step left on the card, -1 for none.
  int TakeSent() {
    const std::string path = folder.Path("card/ADDON/SERVO.LOG");
    const std::string record = folder.Read("card/ADDON/SERVO.LOG");
    if (record == "<missing>") return -1;
    fs::remove(path);
    return (*RecordServos(record))[0] / 100;
  }

  // Sets box 1061 and runs the timer until playback ends; the poses sent.
  std::vector<int> Play(int maxSteps = 50) {
    std::vector<int> sent;
    ui.SetChecked(ctl::kReplay, true);
    TogglePlayback(*document, editor);
    for (int step = 0;; ++step) {
      if (const int pose = TakeSent(); pose >= 0) sent.push_back(pose);
      if (!ui.timers.contains(0) || step == maxSteps) break;
      Tick();
    }
    return sent;
  }

  // Playback without a window, on a clock of the test's own: each step's
  // send takes `sendMs(step)`, and the next step comes `lateMs(step)` after
  // the wait asked for, which is noted in `periods`. The times (ms from the
  // start) at which the sends began.
  std::vector<std::int64_t> PlayOnClock(const std::function<int(int)>& sendMs,
                                        const std::function<int(int)>& lateMs) {
    std::chrono::steady_clock::time_point now{};
    const MonotonicClock clock = [&now] { return now; };
    std::vector<std::int64_t> starts;
    BeginPlayback(*document, clock);
    for (int step = 0;; ++step) {
      starts.push_back(
          std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count());
      now += std::chrono::milliseconds(sendMs(step));
      const PlaybackSent sent = StepPlayback(*document, ui, clock);
      TakeSent();
      if (sent.waitMs < 0) break;
      ui.periods.push_back(sent.waitMs);
      now += std::chrono::milliseconds(sent.waitMs + lateMs(step));
    }
    return starts;
  }

  // The poses sent by steps without a window until playback ends.
  std::vector<int> PlayWithoutWindow() {
    std::vector<int> sent;
    BeginPlayback(*document);
    for (int step = 0; step < 50; ++step) {
      const PlaybackSent result = StepPlayback(*document, ui);
      if (result.pose >= 0) sent.push_back(result.pose);
      EXPECT_EQ(TakeSent(), result.pose);
      if (result.waitMs < 0) break;
    }
    EXPECT_FALSE(document->playing);
    return sent;
  }

  // The window's timer handler.
  void Tick() {
    ui.StopTimer(0);
    PlaybackStep(*document, editor);
  }

  void ExpectStopped() {
    EXPECT_FALSE(document->playing);
    EXPECT_FALSE(ui.IsChecked(ctl::kReplay));
    EXPECT_FALSE(ui.timers.contains(0));
  }

  TempFolder folder;
  TimedUi ui;
  EditorUi editor = ui.ui();
  std::unique_ptr<MotionDocument> document;
};

TEST_F(PlaybackTest, PassesLoopsAndBackAndForth) {
  const struct {
    int poses;
    bool backAndForth;
    int loops;
    std::vector<int> sent;
  } cases[] = {
      {3, true, 2, {0, 1, 2, 1, 0, 0, 1, 2, 1, 0}},  // pose 0 twice at the seam
      {3, false, 2, {0, 1, 2, 0, 1, 2}},
      {3, true, 0, {0, 1, 2, 1, 0}},  // a count of 0 is one pass
      {2, true, 1, {0, 1, 0}},
      {1, true, 3, {0, 0, 0}},  // one pose is sent once per pass
  };
  for (const auto& c : cases) {
    // The window: the loop settings as its fields hold them.
    Start(c.poses);
    ui.SetChecked(ctl::kBackAndForth, c.backAndForth);
    ui.WriteNumber(ctl::kLoopCount, c.loops);
    EXPECT_THAT(Play(), ElementsAreArray(c.sent))
        << c.poses << " poses, back and forth " << c.backAndForth << ", loops " << c.loops;
    ExpectStopped();
    EXPECT_THAT(ui.shown, IsEmpty());

    // Without a window: as the motion holds them.
    Start(c.poses);
    document->motion.backAndForth = c.backAndForth;
    document->motion.loopCount = c.loops;
    EXPECT_THAT(PlayWithoutWindow(), ElementsAreArray(c.sent))
        << "without a window: " << c.poses << " poses, back and forth " << c.backAndForth
        << ", loops " << c.loops;
    EXPECT_THAT(ui.shown, IsEmpty());
  }
}

TEST_F(PlaybackTest, TheWindowsLoopFieldsAreReadAtEachStep) {
  Start(2);
  ui.SetChecked(ctl::kReplay, true);
  TogglePlayback(*document, editor);
  ASSERT_EQ(TakeSent(), 0);
  // Typed during the first pass: it counts before the pass ends.
  ui.WriteNumber(ctl::kLoopCount, 2);
  ui.SetChecked(ctl::kBackAndForth, true);
  std::vector<int> sent{0};
  while (ui.timers.contains(0)) {
    Tick();
    if (const int pose = TakeSent(); pose >= 0) sent.push_back(pose);
  }
  EXPECT_THAT(sent, ElementsAre(0, 1, 0, 0, 1, 0));
  ExpectStopped();
}

TEST_F(PlaybackTest, EachWaitIsTheSentPosesTravelAndHoldTime) {
  for (const bool slow : {false, true}) {
    Start(3, slow ? "SLOW_CHECK=1\nSLOW_RATIO=2\n" : "");
    const int times[][2] = {{60, 30}, {30, 0}, {1, 0}};  // travel, hold
    for (int i = 0; i < 3; ++i) {
      document->motion.poses[static_cast<std::size_t>(i)].travelTime = times[i][0];
      document->motion.poses[static_cast<std::size_t>(i)].holdTime = times[i][1];
    }
    document->motion.backAndForth = true;
    ui.periods.clear();
    // Sends that take no time and ticks on the dot: each wait is the period.
    EXPECT_EQ(PlayOnClock([](int) { return 0; }, [](int) { return 0; }).size(), 5u);
    // The slow ratio stretches the travel time only; 1/60 s is 16 ms, cut.
    const std::vector<int> expected =
        slow ? std::vector<int>{2500, 1000, 33, 1000} : std::vector<int>{1500, 500, 16, 500};
    EXPECT_EQ(ui.periods, expected) << "slow " << slow;
  }
}

TEST_F(PlaybackTest, SendTimesAndLateTicksDoNotAddUpOverAMinute) {
  // 40 poses of 1.5 s: a minute of motion. Each send takes 80 to 200 ms and
  // each tick comes up to 30 ms late.
  Start(40);
  for (Pose& pose : document->motion.poses) {
    pose.travelTime = 60;
    pose.holdTime = 30;
  }
  const auto sendMs = [](int step) { return 80 + (step * 37) % 121; };
  const auto lateMs = [](int step) { return (step * 13) % 31; };
  const std::vector<std::int64_t> starts = PlayOnClock(sendMs, lateMs);
  ASSERT_EQ(starts.size(), 40u);
  for (std::size_t i = 1; i < starts.size(); ++i) {
    const std::int64_t due = 1500 * static_cast<std::int64_t>(i);
    EXPECT_GE(starts[i], due) << "pose " << i << " never goes out early";
    EXPECT_LE(starts[i], due + 31) << "pose " << i << " is off by no more than one tick's lateness";
  }

  // A send slower than the period: the next pose follows at once, and the
  // pace is then kept from there rather than caught up in a rush.
  Start(4);
  const std::vector<std::int64_t> late =
      PlayOnClock([](int step) { return step == 1 ? 4000 : 0; }, [](int) { return 0; });
  const int period = PlaybackPeriod(*document, document->motion.poses[0]);
  EXPECT_EQ(late, (std::vector<std::int64_t>{0, period, period + 4000, 2 * period + 4000}));
}

TEST_F(PlaybackTest, ClearingTheBoxStopsThePendingTick) {
  Start(3);
  ui.SetChecked(ctl::kReplay, true);
  TogglePlayback(*document, editor);
  ASSERT_EQ(TakeSent(), 0);
  ASSERT_TRUE(ui.timers.contains(0));

  ui.SetChecked(ctl::kReplay, false);
  TogglePlayback(*document, editor);
  Tick();  // a tick already on its way
  EXPECT_EQ(TakeSent(), -1);
  ExpectStopped();

  // No poses: setting the box starts nothing.
  Start(0);
  ui.SetChecked(ctl::kReplay, true);
  TogglePlayback(*document, editor);
  EXPECT_FALSE(document->playing);
  EXPECT_EQ(TakeSent(), -1);
}

TEST_F(PlaybackTest, AFailedSendStopsPlayback) {
  Start(3);
  ui.SetChecked(ctl::kReplay, true);
  TogglePlayback(*document, editor);
  ASSERT_EQ(TakeSent(), 0);
  document->cardFolder.clear();  // the card is gone
  Tick();
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgRemoteFileWriteFailed));
  ExpectStopped();
}

TEST_F(PlaybackTest, PosesDeletedWhilePlayingEndThePass) {
  Start(3);
  ui.WriteNumber(ctl::kLoopCount, 2);
  ui.SetChecked(ctl::kReplay, true);
  TogglePlayback(*document, editor);
  Tick();
  std::vector<int> sent;
  sent.push_back(TakeSent());  // pose 1; pose 2 is next
  document->motion.poses.resize(1);
  while (ui.timers.contains(0)) {
    Tick();
    if (const int pose = TakeSent(); pose >= 0) sent.push_back(pose);
  }
  EXPECT_THAT(sent, ElementsAre(1, 0)) << "the second pass starts at once";
  ExpectStopped();

  // Every pose deleted: playback ends without a send.
  Start(2);
  ui.SetChecked(ctl::kReplay, true);
  TogglePlayback(*document, editor);
  ASSERT_EQ(TakeSent(), 0);
  document->motion.poses.clear();
  Tick();
  EXPECT_EQ(TakeSent(), -1);
  ExpectStopped();
}

TEST_F(PlaybackTest, RemoteSendStoresTheEditorFirst) {
  Start(2, "[POSE]\nSPEED_CHECK=1\n");
  ui.SetText(ctl::ServoField(0), "123");
  RemoteSendCurrentPose(*document, editor);
  EXPECT_EQ(TakeSent(), 1) << "123 / 100: the edited value was sent";
  EXPECT_EQ(document->motion.poses[0].servo[0], 123);

  ui.WriteNumber(ctl::kTravelTime, 10);  // refused by the speed check
  RemoteSendCurrentPose(*document, editor);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgTravelTimeTooShort));
  EXPECT_EQ(TakeSent(), -1);
}

}  // namespace
}  // namespace kz::testing
