// The LED detail dialog on the current pose: its opening state, colours,
// patterns, the brightness limit and the live send; the main window's
// "詳細" button; how limited LED bytes reach a program.
#include "dialogs/led_dlg.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "commands/led_commands.h"
#include "fakes/editor_fixture.h"
#include "formats/program_writer.h"
#include "link/records.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Step = ScriptedUi::ModalStep;

constexpr std::uint32_t kOrange = 0x000080FF;

Step Click(int id) { return Step{nullptr, id}; }
Step Close() { return Click(led::kClose); }
Step Tick(int id, bool on) {
  return Step{[id, on](ScriptedControls& c) { c.SetChecked(id, on); }, id};
}
// A radio button of the eye group as the user clicks it: the others go off.
Step Radio(int id) {
  return Step{[id](ScriptedControls& c) {
                for (int radio : {led::kBothEyes, led::kLeftOnly, led::kRightOnly})
                  c.SetChecked(radio, radio == id);
              },
              id};
}
Step Pick(int pattern) {
  return Step{[pattern](ScriptedControls& c) { c.SelectListItem(led::kPatterns, pattern); },
              led::kPatterns, ControlEvent::kSelectionChanged};
}
// Checks the dialog's controls at this point of the script.
Step Expect(std::function<void(ScriptedControls&)> check) { return Step{std::move(check), 0}; }

class LedDlgTest : public EditorFixture {
 protected:
  void StartWithEyes(std::uint32_t left, std::uint32_t right, std::uint32_t flags = 0) {
    StartWithPoses(1);
    Pose& pose = document->current();
    pose.leftEye = left;
    pose.rightEye = right;
    pose.flags = flags;
  }

  void Run(std::deque<Step> steps) {
    ui.modalSteps = std::move(steps);
    LedDetails(*document, editor);
    EXPECT_THAT(ui.modalSteps, IsEmpty()) << "the dialog closed before the script ended";
  }

  const ScriptedControls& dialog() const { return ui.modalControls; }
  Pose& pose() { return document->current(); }
};

TEST_F(LedDlgTest, OpeningShowsTheCurrentPosesPatterns) {
  const struct {
    const char* name;
    std::uint32_t left, right, flags;
    int checkedRadio, selected;
    bool convertible;
  } cases[] = {
      {"patterns 3 and 3", 3 << 16, 3 << 16, 0, led::kBothEyes, 3, true},
      {"patterns 3 and 5", 3 << 16, 5 << 16, 0, led::kRightOnly, 5, true},
      {"orange eyes, limited", kOrange, kOrange, kBrightnessLimit, led::kBothEyes, -1, false},
      {"one eye a colour", 3 << 16, kOrange, 0, led::kBothEyes, -1, false},
      {"pattern beyond the list", 3 << 16, 64 << 16, 0, led::kRightOnly, -1, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StartWithEyes(c.left, c.right, c.flags);
    Run({Close()});
    for (int radio : {led::kBothEyes, led::kLeftOnly, led::kRightOnly})
      EXPECT_EQ(dialog().IsChecked(radio), radio == c.checkedRadio) << radio;
    EXPECT_EQ(dialog().SelectedListItem(led::kPatterns), c.selected);
    EXPECT_EQ(dialog().IsEnabled(led::kConvert), c.convertible);
    EXPECT_EQ(dialog().IsChecked(led::kLimit), c.flags != 0);
    EXPECT_FALSE(dialog().IsChecked(led::kLiveSend));
    EXPECT_FALSE(document->modified);
  }
  const auto& list = dialog().lists.at(led::kPatterns);
  ASSERT_EQ(list.size(), 64u);
  EXPECT_EQ(list[0], SystemText("パターン0"));
  EXPECT_EQ(list[63], SystemText("パターン63"));
}

TEST_F(LedDlgTest, ThePatternListFollowsTheSettingWithinWhatAnEyeCanHold) {
  const struct {
    const char* setting;
    std::size_t entries;
  } cases[] = {{"5", 5}, {"0", 0}, {"1000", 256}};
  for (const auto& c : cases) {
    WriteSettings(std::string("[POSE]\nPATTERN_COUNT=") + c.setting + "\n");
    StartWithEyes(kOrange, kOrange);
    Run({Close()});
    EXPECT_EQ(dialog().lists.at(led::kPatterns).size(), c.entries) << c.setting;
  }
}

TEST_F(LedDlgTest, APatternGoesToTheChosenEyesAndLiftsTheLimit) {
  StartWithEyes(kOrange, kOrange, kBrightnessLimit);
  Run({Radio(led::kBothEyes), Expect([this](ScriptedControls&) {
         EXPECT_EQ(pose().leftEye, kOrange) << "両目 without a pattern keeps the colours";
       }),
       Radio(led::kLeftOnly), Pick(2), Expect([this](ScriptedControls& c) {
         EXPECT_EQ(pose().leftEye, 131072u);
         EXPECT_EQ(pose().rightEye, kOrange);
         EXPECT_EQ(pose().flags, 0u);
         EXPECT_FALSE(c.IsChecked(led::kLimit));
         EXPECT_TRUE(c.IsEnabled(led::kConvert));
       }),
       Radio(led::kRightOnly), Expect([](ScriptedControls& c) {
         EXPECT_EQ(c.SelectedListItem(led::kPatterns), 0) << "orange has no blue: pattern 0";
       }),
       Radio(led::kLeftOnly),
       Expect([](ScriptedControls& c) { EXPECT_EQ(c.SelectedListItem(led::kPatterns), 2); }),
       Radio(led::kBothEyes), Close()});
  EXPECT_EQ(pose().leftEye, 131072u);
  EXPECT_EQ(pose().rightEye, 131072u) << "両目 with pattern 2 chosen";
  EXPECT_TRUE(document->modified) << "the pose changed: closing must offer to save it";
}

TEST_F(LedDlgTest, TheLimitIsRefusedWhileAPatternIsChosen) {
  StartWithEyes(3 << 16, 3 << 16);
  Run({Tick(led::kLimit, true), Close()});
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgPatternNoLimit));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
  EXPECT_FALSE(dialog().IsChecked(led::kLimit));
  EXPECT_EQ(pose().flags, 0u);
  EXPECT_FALSE(document->modified);

  StartWithEyes(kOrange, kOrange);
  ui.shown.clear();
  Run({Tick(led::kLimit, true),
       Expect([this](ScriptedControls&) { EXPECT_EQ(pose().flags, kBrightnessLimit); }),
       Tick(led::kLimit, false), Close()});
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_EQ(pose().flags, 0u);
}

TEST_F(LedDlgTest, ColoursGoIntoThePoseAndTheMouthTakesItsRed) {
  StartWithEyes(3 << 16, 3 << 16);
  ui.colorAnswers = {0x00112233, std::nullopt, 0x000A32C8};
  Run({Click(led::kLeftEye), Click(led::kRightEye), Click(led::kMouth), Close()});
  EXPECT_EQ(pose().leftEye, 0x00112233u);
  EXPECT_EQ(pose().rightEye, 3u << 16) << "a cancelled colour dialog changes nothing";
  EXPECT_EQ(pose().mouth, 200);
  EXPECT_EQ(dialog().at(led::kLeftEye).redraws, 1);
  EXPECT_EQ(dialog().at(led::kRightEye).redraws, 0);
  EXPECT_EQ(dialog().at(led::kMouth).redraws, 1);
  EXPECT_TRUE(document->modified);
  // The main window takes the outcome when the dialog closes.
  EXPECT_TRUE(ui.IsChecked(ctl::kMouth));
  EXPECT_GE(ui.at(ctl::kEyeSwatch).redraws, 1);
}

class LedLiveSendTest : public LedDlgTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder.Path("card/ADDON"));
    StartWithEyes(kOrange, kOrange);
    document->cardFolder = folder.Path("card/");
  }
  std::string Sent() const { return folder.Read("card/ADDON/SERVO.LOG"); }
  std::string PoseNow() { return PoseRecord(*document, document->current()); }
};

TEST_F(LedLiveSendTest, TheCurrentPoseIsSentAfterEachChangeWhileTicked) {
  ui.colorAnswers = {0x00000010, 0x000000FF};
  Run({Pick(4), Expect([this](ScriptedControls&) { EXPECT_EQ(Sent(), "<missing>"); }),
       Tick(led::kLiveSend, true),
       Expect([this](ScriptedControls&) { EXPECT_EQ(Sent(), PoseNow()); }), Click(led::kMouth),
       Expect([this](ScriptedControls& c) {
         EXPECT_EQ(Sent(), PoseNow());
         EXPECT_EQ(c.SelectedListItem(led::kPatterns), 4) << "the eyes still show pattern 4";
       }),
       Click(led::kLeftEye), Expect([this](ScriptedControls& c) {
         EXPECT_EQ(Sent(), PoseNow());
         EXPECT_EQ(c.SelectedListItem(led::kPatterns), -1);
       }),
       Pick(6), Expect([this](ScriptedControls&) { EXPECT_EQ(Sent(), PoseNow()); }), Close()});
  EXPECT_EQ(pose().leftEye, 6u << 16);
  EXPECT_EQ(pose().mouth, 0x10);
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(LedLiveSendTest, ARefusedTravelTimeSendsNothing) {
  ui.SetText(ctl::kTravelTime, "10");
  Run({Tick(led::kLiveSend, true), Close()});
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgTravelTimeTooShort));
  EXPECT_EQ(Sent(), "<missing>");
}

TEST_F(LedDlgTest, TheDetailsButtonOffersTheOriginPoseFirst) {
  Start();
  document->setupOverride = KZ_SOURCE_DIR "/samples/STARTUP.XML";
  ui.answers = {Button::kNo};
  LedDetails(*document, editor);
  EXPECT_THAT(ui.modalTemplates, IsEmpty());
  EXPECT_EQ(document->poseCount(), 0);

  ui.answers = {Button::kYes};
  ui.colorAnswers = {0x000000C8};
  Run({Click(led::kMouth), Close()});
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgLedNeedsPose, kMsgLedNeedsPose));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kYesNoQuestion);
  EXPECT_EQ(document->poseCount(), 1);
  EXPECT_THAT(ui.modalTemplates, ElementsAre(CLedDlg::kTemplateId));
  EXPECT_TRUE(ui.IsChecked(ctl::kMouth));

  ui.colorAnswers = {0x0000FF00};  // no red: the mouth goes dark
  Run({Click(led::kMouth), Close()});
  EXPECT_FALSE(ui.IsChecked(ctl::kMouth));
}

TEST_F(LedDlgTest, LimitedLedBytesAreWrittenDimmed) {
  StartWithEyes(0x000A07FF, 0x00FF0A07, kBrightnessLimit);
  pose().mouth = 10;
  const std::string program = *BuildProgramText(*document, ProgramOptions{});
  // Left 255 7 10, right 7 10 255, mouth 10: (b AND 0xFC) / 5.
  EXPECT_NE(program.find("0x0000,0x0032,0x0000,0x0001,0x0000,0x0001,0x0032,0x0001,0x0000,\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace kz::testing
