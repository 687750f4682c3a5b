// The parameter dialog: its opening state, OK writing every value into the
// document and the settings file, Cancel, and the FlashAir check on OK.
#include "dialogs/param_dlg.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "fakes/editor_fixture.h"
#include "kzcard/card_init.h"
#include "kzcard/card_server.h"
#include "model/editor.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Step = ScriptedUi::ModalStep;

Step Click(int id) { return Step{nullptr, id}; }
Step Type(int id, std::string text) {
  return Step{[id, text](ScriptedControls& c) { c.SetText(id, text); }, id,
              ControlEvent::kTextChanged};
}
Step Tick(int id, bool on) {
  return Step{[id, on](ScriptedControls& c) { c.SetChecked(id, on); }, id};
}
Step Model(int radio) {
  return Step{[radio](ScriptedControls& c) {
                c.SetChecked(param::kModel1, radio == param::kModel1);
                c.SetChecked(param::kModel2, radio == param::kModel2);
              },
              radio};
}
Step Expect(std::function<void(ScriptedControls&)> check) { return Step{std::move(check), 0}; }

// The keys the dialog writes, as the settings file holds them.
const std::vector<std::pair<const char*, const char*>> kKeys = {
    {"GENERAL", "KAZO_MODEL"}, {"POSE", "SPEED_CHECK"},  {"REMOTE", "POWER_CHECK"},
    {"REMOTE", "SLOW_CHECK"},  {"REMOTE", "SLOW_RATIO"}, {"POSE", "PROGRAM_TORQUE"},
    {"REMOTE", "FLASH_AIR"}};

class ParamDlgTest : public EditorFixture {
 protected:
  void SetUp() override { StartWithPoses(1); }

  bool Run(std::deque<Step> steps) {
    ui.modalSteps = std::move(steps);
    const bool ok = EditParameters(*document, editor);
    EXPECT_THAT(ui.modalSteps, IsEmpty()) << "the dialog closed before the script ended";
    return ok;
  }
  std::vector<std::string> Written() const {
    std::vector<std::string> values;
    for (const auto& [section, key] : kKeys)
      values.push_back(document->settings().ReadText(section, key, "-", 64));
    return values;
  }
  const ScriptedControls& dialog() const { return ui.modalControls; }
};

TEST_F(ParamDlgTest, OpensOnTheDocumentsValues) {
  EXPECT_FALSE(Run({Click(kIdCancel)}));
  EXPECT_TRUE(dialog().IsChecked(param::kModel1));
  EXPECT_FALSE(dialog().IsChecked(param::kModel2));
  EXPECT_FALSE(dialog().IsEnabled(param::kProgramTorque));
  EXPECT_TRUE(dialog().IsChecked(param::kSpeedCheck));
  EXPECT_FALSE(dialog().IsChecked(param::kPowerCheck));
  EXPECT_FALSE(dialog().IsChecked(param::kSlowCheck));
  EXPECT_FALSE(dialog().IsChecked(param::kFlashAir));
  EXPECT_EQ(dialog().Text(param::kSlowRatio), "5");
  EXPECT_EQ(dialog().Text(param::kProgramTorque), "80");

  document->kazoModel = 2;
  document->speedCheck = false;
  document->powerCheck = document->slowCheck = document->useFlashAir = true;
  document->slowRatio = -2;
  EXPECT_FALSE(Run({Click(kIdCancel)}));
  EXPECT_TRUE(dialog().IsChecked(param::kModel2));
  EXPECT_FALSE(dialog().IsChecked(param::kModel1));
  EXPECT_TRUE(dialog().IsEnabled(param::kProgramTorque));
  EXPECT_FALSE(dialog().IsChecked(param::kSpeedCheck));
  EXPECT_TRUE(dialog().IsChecked(param::kPowerCheck));
  EXPECT_TRUE(dialog().IsChecked(param::kSlowCheck));
  EXPECT_TRUE(dialog().IsChecked(param::kFlashAir));
  EXPECT_EQ(dialog().Text(param::kSlowRatio), "-2");
}

TEST_F(ParamDlgTest, OkWritesEveryValueIntoTheDocumentAndTheSettings) {
  EXPECT_TRUE(
      Run({Model(param::kModel2),
           Expect([](ScriptedControls& c) { EXPECT_TRUE(c.IsEnabled(param::kProgramTorque)); }),
           Model(param::kModel1),
           Expect([](ScriptedControls& c) { EXPECT_FALSE(c.IsEnabled(param::kProgramTorque)); }),
           Model(param::kModel2), Tick(param::kSpeedCheck, false), Tick(param::kPowerCheck, true),
           Tick(param::kSlowCheck, true), Type(param::kSlowRatio, "x2"),
           Type(param::kProgramTorque, "-30"), Click(kIdOk)}));
  EXPECT_THAT(Written(), ElementsAre("2", "0", "1", "1", "0", "-30", "0"));
  EXPECT_EQ(document->kazoModel, 2);
  EXPECT_FALSE(document->speedCheck);
  EXPECT_TRUE(document->powerCheck);
  EXPECT_TRUE(document->slowCheck);
  EXPECT_EQ(document->slowRatio, 0) << "letters read as 0";
  EXPECT_EQ(document->programTorque, -30);
  EXPECT_FALSE(document->useFlashAir);

  // Without the speed check a short travel time is taken.
  ui.SetText(ctl::kTravelTime, "10");
  EXPECT_TRUE(CommitEditor(*document, editor));
  EXPECT_EQ(document->current().travelTime, 10);
}

TEST_F(ParamDlgTest, TheDisabledTorqueIsStoredToo) {
  EXPECT_TRUE(Run({Type(param::kProgramTorque, "55"), Click(kIdOk)}));
  EXPECT_EQ(document->programTorque, 55);
  EXPECT_THAT(Written(), ElementsAre("1", "1", "0", "0", "5", "55", "0"));
}

TEST_F(ParamDlgTest, CancelKeepsEverythingButTheRemoteFileChosen) {
  std::filesystem::create_directories(folder.Path("card/ADDON"));
  const std::string remoteLog = folder.Write("card/ADDON/REMOTE.LOG", "");
  ui.fileAnswers = {FileDialogAnswer{remoteLog, false}};
  EXPECT_FALSE(Run(
      {Model(param::kModel2), Tick(param::kSpeedCheck, false), Tick(param::kPowerCheck, true),
       Tick(param::kSlowCheck, true), Tick(param::kFlashAir, true), Type(param::kSlowRatio, "9"),
       Type(param::kProgramTorque, "1"), Click(param::kRemoteFile), Click(kIdCancel)}));
  EXPECT_THAT(Written(), ElementsAre("-", "-", "-", "-", "-", "-", "-"));
  EXPECT_EQ(document->kazoModel, 1);
  EXPECT_TRUE(document->speedCheck);
  EXPECT_FALSE(document->powerCheck || document->slowCheck || document->useFlashAir);
  EXPECT_EQ(document->slowRatio, 5);
  EXPECT_EQ(document->programTorque, 80);
  EXPECT_EQ(document->cardFolder, folder.Path("card/")) << "the remote file takes effect at once";
  EXPECT_FALSE(document->modified);
}

TEST_F(ParamDlgTest, AnUnreachableFlashAirIsStoredOffAndTheDialogStillCloses) {
  document->flashAirHost = "127.0.0.1:1";  // nothing listens there
  EXPECT_TRUE(Run({Tick(param::kFlashAir, true), Click(kIdOk)}));
  EXPECT_THAT(ui.shownIds(), Contains(kMsgFlashAirUnreachable));
  EXPECT_FALSE(document->useFlashAir);
  EXPECT_EQ(Written().back(), "0");
}

TEST_F(ParamDlgTest, AReachableFlashAirIsStoredOn) {
  std::filesystem::create_directories(folder.Path("sd/ADDON"));
  card::CardServer server(folder.Path("sd"));
  const int port = server.Start();
  ASSERT_NE(port, 0);
  document->flashAirHost = "127.0.0.1:" + std::to_string(port);
  // Model 2 needs no remote-connection main program on the card.
  EXPECT_TRUE(Run({Model(param::kModel2), Tick(param::kFlashAir, true), Click(kIdOk)}));
  server.Stop();
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_TRUE(document->useFlashAir);
  EXPECT_EQ(Written().back(), "1");
}

TEST_F(ParamDlgTest, TheCardsHostIsCheckedOnOkAndStored) {
  EXPECT_EQ(document->flashAirHost, "flashair");
  // A host that is no card's keeps the dialog open on that field, nothing stored.
  for (const char* bad : {"flashair/ADDON", "user@flashair", "flashair:70000", ""}) {
    SCOPED_TRACE(bad);
    ui.shown.clear();
    EXPECT_FALSE(Run(
        {Expect([](ScriptedControls& c) { EXPECT_EQ(c.Text(param::kFlashAirHost), "flashair"); }),
         Tick(param::kSpeedCheck, false), Type(param::kFlashAirHost, bad), Click(kIdOk),
         Expect([](ScriptedControls& c) { EXPECT_EQ(c.focus, param::kFlashAirHost); }),
         Click(kIdCancel)}));
    EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgFlashAirHostInvalid));
    EXPECT_EQ(ui.shown[0].args, std::vector<std::string>{bad});
    EXPECT_THAT(Written(), ElementsAre("-", "-", "-", "-", "-", "-", "-"));
    EXPECT_TRUE(document->speedCheck);
    EXPECT_EQ(document->flashAirHost, "flashair");
  }
  ui.shown.clear();
  EXPECT_TRUE(Run({Type(param::kFlashAirHost, "192.168.0.1:8080"), Click(kIdOk)}));
  EXPECT_THAT(ui.shown, IsEmpty()) << "FlashAir off: the card is not asked";
  EXPECT_EQ(document->flashAirHost, "192.168.0.1:8080");
  EXPECT_EQ(document->settings().ReadText("REMOTE", "FLASH_AIR_HOST", "-", 64), "192.168.0.1:8080");
}

TEST_F(ParamDlgTest, AKzcardFolderLaidOutByInitPassesTheCardCheckOnModelOne) {
  std::string error;
  ASSERT_TRUE(card::InitCardFolder(folder.Path("sd"), error)) << error;
  card::CardServer server(folder.Path("sd"));
  const int port = server.Start();
  ASSERT_NE(port, 0);
  const std::string host = "127.0.0.1:" + std::to_string(port);
  EXPECT_TRUE(Run({Tick(param::kFlashAir, true), Type(param::kFlashAirHost, host), Click(kIdOk)}));
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_TRUE(document->useFlashAir);
  EXPECT_EQ(Written().back(), "1");
  // And again: pressing OK once more keeps the link.
  EXPECT_TRUE(Run({Click(kIdOk)}));
  EXPECT_TRUE(document->useFlashAir);
  EXPECT_EQ(Written().back(), "1");
  // --init keeps what is there.
  ASSERT_TRUE(card::InitCardFolder(folder.Path("sd"), error)) << error;
}

TEST_F(ParamDlgTest, TheSpeedCheckTakesEffectOnTheTravelTimeRangeAtOnce) {
  ASSERT_EQ(ui.at(ctl::kTravelTimeSpin).lower, 20);
  EXPECT_TRUE(Run({Tick(param::kSpeedCheck, false), Click(kIdOk)}));
  EXPECT_EQ(ui.at(ctl::kTravelTimeSpin).lower, 1);
  EXPECT_TRUE(Run({Tick(param::kSpeedCheck, true), Click(kIdOk)}));
  EXPECT_EQ(ui.at(ctl::kTravelTimeSpin).lower, 20);
  EXPECT_FALSE(Run({Tick(param::kSpeedCheck, false), Click(kIdCancel)}));
  EXPECT_EQ(ui.at(ctl::kTravelTimeSpin).lower, 20) << "Cancel changes nothing";
}

}  // namespace
}  // namespace kz::testing
