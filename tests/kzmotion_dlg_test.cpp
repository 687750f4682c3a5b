// The main window's logic: the command table, change tracking and the one
// closing sequence, driven through the scripted window.
#include "app/kzmotion_dlg.h"

#include <gmock/gmock.h>

#include <memory>

#include "fakes/scripted_ui.h"
#include "fakes/temp_folder.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kSampleSetup = KZ_SOURCE_DIR "/samples/STARTUP.XML";

class EditorWindowTest : public ::testing::Test {
 protected:
  void Start(const std::string& ini = "") {
    folder.Write("KZMotion.ini", ini);
    window = std::make_unique<CKZMotionDlg>(folder.Path("KZMotion.ini"), ui, ui);
    ui.onTextChanged = [this](int id) { window->OnEvent(ui, id, ControlEvent::kTextChanged); };
    window->OnInit(ui);
  }

  // Starts with one origin pose from the sample setup file, nothing modified.
  void StartWithOriginPose() {
    Start();
    document().setupOverride = kSampleSetup;
    ui.answers.push_back(Button::kYes);
    Click(ctl::kOriginPose);
    ASSERT_EQ(document().poseCount(), 1);
    document().modified = false;
    ui.shown.clear();
  }

  MotionDocument& document() { return *window->document(); }
  bool Click(int id) { return window->OnEvent(ui, id, ControlEvent::kClicked); }

  TempFolder folder;
  ScriptedUi ui;
  std::unique_ptr<CKZMotionDlg> window;
};

TEST_F(EditorWindowTest, TrackedFieldsMarkTheMotionModifiedButTheStartTimeDoesNot) {
  Start();
  ui.SetText(ctl::kStartTime, "30");
  EXPECT_FALSE(document().modified);
  for (int id : {ctl::ServoField(0), ctl::ServoField(19), ctl::kTravelTime, ctl::kHoldTime,
                 ctl::kLoopCount}) {
    document().modified = false;
    ui.SetText(id, "7");
    EXPECT_TRUE(document().modified) << id;
  }
  document().modified = false;
  Click(ctl::kBackAndForth);
  EXPECT_TRUE(document().modified);
}

TEST_F(EditorWindowTest, ClosingAnUnmodifiedEditorAsksNothingAndReleasesTheDocument) {
  Start();
  ui.SetText(ctl::kStartTime, "12");
  EXPECT_TRUE(Click(kIdCancel));
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_EQ(window->document(), nullptr);
}

TEST_F(EditorWindowTest, ClosingAModifiedEditorAsksMessage116) {
  StartWithOriginPose();
  ui.SetText(ctl::ServoField(2), "-345");

  ui.answers = {Button::kCancel};
  EXPECT_FALSE(Click(ctl::kClose)) << "Cancel keeps the editor open";
  ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgSaveChanges));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kYesNoCancelQuestion);
  EXPECT_EQ(ui.Text(ctl::ServoField(2)), "-345");
  EXPECT_TRUE(document().modified);

  ui.answers = {Button::kNo};
  EXPECT_TRUE(Click(ctl::kClose)) << "No discards the edits";
  EXPECT_EQ(window->document(), nullptr);
}

TEST_F(EditorWindowTest, EnterTakesTheTypedValuesAndNeverCloses) {
  Start();
  EXPECT_FALSE(Click(kIdOk)) << "without a pose there is nothing to take";
  EXPECT_THAT(ui.shown, IsEmpty());

  StartWithOriginPose();
  ui.SetText(ctl::ServoField(2), "-345");
  EXPECT_FALSE(Click(kIdOk));
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_EQ(document().current().servo[2], -345);
  EXPECT_TRUE(document().modified);

  ui.SetText(ctl::ServoField(2), "1501");
  EXPECT_FALSE(Click(kIdOk));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgValueOutOfRange));
  EXPECT_EQ(document().current().servo[2], -345);
  EXPECT_NE(window->document(), nullptr);
}

TEST_F(EditorWindowTest, YesToMessage116SavesAndClosesOnlyWhenNothingIsLost) {
  const std::string target = folder.Path("walk.KZI");
  const struct {
    std::optional<FileDialogAnswer> saveAnswer;
    bool closes;
    std::vector<int> messages;
  } cases[] = {
      {FileDialogAnswer{target, false}, true, {kMsgSaveChanges}},
      {std::nullopt, false, {kMsgSaveChanges}},  // a cancelled save dialog keeps the editor
      {FileDialogAnswer{folder.path(), false}, false, {kMsgSaveChanges, kMsgEditDataWriteFailed}},
  };
  for (const auto& c : cases) {
    StartWithOriginPose();
    ui.SetText(ctl::ServoField(1), "-7");
    ui.answers = {Button::kYes};
    ui.fileAnswers = {c.saveAnswer};
    EXPECT_EQ(Click(kIdCancel), c.closes);
    EXPECT_EQ(ui.shownIds(), c.messages);
    EXPECT_EQ(window->document() == nullptr, c.closes);
    if (!c.closes) {
      EXPECT_EQ(ui.Text(ctl::ServoField(1)), "-7");
      EXPECT_TRUE(document().modified);
    }
    ui.shown.clear();
  }
  std::string saved;
  ASSERT_TRUE(ReadWholeFile(target, saved, 1 << 20));
  EXPECT_EQ(saved.substr(0, 4), "kazo");
}

TEST_F(EditorWindowTest, OpeningAnotherMotionSettlesUnsavedEditsFirst) {
  StartWithOriginPose();
  ui.SetText(ctl::ServoField(1), "-7");
  ui.answers = {Button::kCancel};
  Click(ctl::kOpenEditData);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSaveChanges));
  EXPECT_THAT(ui.fileRequests, IsEmpty()) << "Cancel opens nothing";

  // Yes and then a cancelled save dialog keeps the motion and asks for no file.
  ui.answers = {Button::kYes};
  ui.fileAnswers = {std::nullopt};
  Click(ctl::kOpenEditData);
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_FALSE(ui.fileRequests[0].open) << "only the save dialog was shown";
  EXPECT_EQ(ui.Text(ctl::ServoField(1)), "-7");
  EXPECT_TRUE(document().modified);

  // No discards the edits; a file that cannot be read keeps the motion.
  const std::string bad = folder.Write("bad.KZI", "not a motion");
  ui.answers = {Button::kNo};
  ui.fileAnswers = {FileDialogAnswer{bad, false}};
  Click(ctl::kOpenEditData);
  EXPECT_EQ(ui.shown.back().id, kMsgEditDataWrong);
  EXPECT_EQ(document().poseCount(), 1);
  EXPECT_EQ(ui.Text(ctl::ServoField(1)), "-7");
}

TEST_F(EditorWindowTest, TheCaptionNamesTheFileAndMarksUnsavedEdits) {
  StartWithOriginPose();
  EXPECT_EQ(Cp932ToUtf8(window->Caption()), "カゾモーションエディター");
  document().modified = true;
  EXPECT_EQ(Cp932ToUtf8(window->Caption()), "*カゾモーションエディター");
  ui.fileAnswers = {FileDialogAnswer{SystemText(folder.Path("歩く.KZI")), false}};
  Click(ctl::kSaveEditData);
  EXPECT_EQ(Cp932ToUtf8(window->Caption()), "歩く.KZI - カゾモーションエディター");
}

TEST_F(EditorWindowTest, AMotionNamedAtStartIsOpened) {
  StartWithOriginPose();
  Click(ctl::kAddPose);
  const std::string path = folder.Path("two.KZI");
  ui.fileAnswers = {FileDialogAnswer{path, false}};
  Click(ctl::kSaveEditData);

  folder.Write("KZMotion.ini", "");
  window = std::make_unique<CKZMotionDlg>(folder.Path("KZMotion.ini"), ui, ui);
  window->OpenOnStart(path);
  window->OnInit(ui);
  EXPECT_EQ(document().poseCount(), 2);
  EXPECT_EQ(document().currentPose, 0);
  EXPECT_EQ(ui.Text(ctl::ServoField(0)), "30");
  EXPECT_FALSE(document().modified);
}

TEST_F(EditorWindowTest, PoseCommandsRunThroughTheTable) {
  StartWithOriginPose();
  EXPECT_TRUE(ui.IsEnabled(ctl::kAddPose));
  Click(ctl::kAddPose);
  Click(ctl::kAddPose);
  EXPECT_EQ(document().poseCount(), 3);
  EXPECT_EQ(document().currentPose, 2);
  Click(ctl::kDeletePose);
  EXPECT_EQ(document().poseCount(), 2);
  Click(ctl::kSwapPose);
  EXPECT_EQ(document().currentPose, 0);

  ui.SetText(ctl::ServoField(0), "100");  // the right hip roll, standard value 30
  Click(ctl::kMirrorLegs);
  EXPECT_EQ(ui.Text(ctl::ServoField(5)), "-100") << "left hip roll mirrored about -30";

  ui.SetChecked(ctl::kStartSync, true);
  Click(ctl::kStartSync);
  EXPECT_TRUE(ui.IsEnabled(ctl::kStartTime));
}

TEST_F(EditorWindowTest, ATabChangeWithATooShortTravelTimeReturnsTheSelection) {
  StartWithOriginPose();
  Click(ctl::kAddPose);
  ui.SelectTab(ctl::kPoseTabs, 0);
  window->OnEvent(ui, ctl::kPoseTabs, ControlEvent::kSelectionChanged);
  ASSERT_EQ(document().currentPose, 0);

  ui.SetText(ctl::kTravelTime, "19");
  ui.SelectTab(ctl::kPoseTabs, 1);
  window->OnEvent(ui, ctl::kPoseTabs, ControlEvent::kSelectionChanged);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgTravelTimeTooShort));
  EXPECT_EQ(ui.SelectedTab(ctl::kPoseTabs), 0);
  EXPECT_EQ(document().currentPose, 0);
}

TEST_F(EditorWindowTest, ModelTwoStartsWithoutLogReadingAndStartSynchronisation) {
  Start("[GENERAL]\nKAZO_MODEL=2\n");
  EXPECT_FALSE(ui.IsEnabled(ctl::kReadLogs));
  EXPECT_FALSE(ui.IsEnabled(ctl::kStartSync));
}

TEST_F(EditorWindowTest, TheEyeSwatchShowsTheLeftEyeOrGreyWithoutAPose) {
  Start("[POSE]\nLED_COLOR=#102030\n");
  EXPECT_EQ(window->SwatchColor(ctl::kEyeSwatch), 0xF0F0F0u);
  document().setupOverride = kSampleSetup;
  ui.answers.push_back(Button::kYes);
  Click(ctl::kOriginPose);
  EXPECT_EQ(window->SwatchColor(ctl::kEyeSwatch), 0x302010u);

  document().current().leftEye = 7u << 16;  // pattern 7 reads as dim blue
  document().current().rightEye = 0x0000FF;
  document().current().mouth = 200;
  EXPECT_EQ(window->SwatchColor(ctl::kEyeSwatch), 0x070000u);
  EXPECT_EQ(window->SwatchColor(1058), 0x0000FFu);
  EXPECT_EQ(window->SwatchColor(1059), 200u);
}

TEST_F(EditorWindowTest, TheSwatchAndMouthBoxSetTheCurrentPosesLeds) {
  StartWithOriginPose();
  ui.colorAnswers = {std::nullopt, 0x00AABBCCu};
  Click(ctl::kEyeSwatch);
  EXPECT_FALSE(document().modified) << "a cancelled colour dialog changes nothing";
  Click(ctl::kEyeSwatch);
  EXPECT_EQ(document().current().leftEye, 0x00AABBCCu);
  EXPECT_EQ(document().current().rightEye, 0x00AABBCCu);
  EXPECT_GT(ui.at(ctl::kEyeSwatch).redraws, 0);
  EXPECT_TRUE(document().modified);

  ui.SetChecked(ctl::kMouth, true);
  Click(ctl::kMouth);
  EXPECT_EQ(document().current().mouth, 255);
  ui.SetChecked(ctl::kMouth, false);
  Click(ctl::kMouth);
  EXPECT_EQ(document().current().mouth, 0);
}

TEST_F(EditorWindowTest, EveryControlOfTheWindowIsRouted) {
  const auto clicked = ControlEvent::kClicked;
  for (int id : {2,  4,  5,  7,  8,  16, 12, 9,  1063, 1064, 1061, 10, 11,   13,
                 17, 15, 14, 22, 18, 19, 20, 21, 1068, 1055, 1056, 6,  1054, kIdOk})
    EXPECT_TRUE(CKZMotionDlg::Routes(id, clicked)) << id;
  EXPECT_TRUE(CKZMotionDlg::Routes(ctl::kPoseTabs, ControlEvent::kSelectionChanged));
  for (int k = 0; k < ctl::kServoCount; ++k)
    EXPECT_TRUE(CKZMotionDlg::Routes(ctl::ServoField(k), ControlEvent::kTextChanged));
  EXPECT_FALSE(CKZMotionDlg::Routes(ctl::kStartTime, ControlEvent::kTextChanged));
}

}  // namespace
}  // namespace kz::testing
