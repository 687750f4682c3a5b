// The start and end processing dialog: one set of controls switched between
// the two sides, OK and Cancel, and the browse for a sound on the card.
#include "dialogs/sound_dlg.h"

#include <gmock/gmock.h>

#include "fakes/editor_fixture.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

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
Step Radio(int id) {
  return Step{[id](ScriptedControls& c) {
                c.SetChecked(sound::kShowStart, id == sound::kShowStart);
                c.SetChecked(sound::kShowEnd, id == sound::kShowEnd);
              },
              id};
}
Step Expect(std::function<void(ScriptedControls&)> check) { return Step{std::move(check), 0}; }

// What the controls show: sound, wait, torque box and its text (UTF-8).
struct Shown {
  std::string sound;
  std::string wait;
  bool torque;
  std::string torqueText;
  bool operator==(const Shown&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Shown& s) {
  return out << s.sound << " " << s.wait << " " << s.torque << " " << s.torqueText;
}
Shown ShownIn(const ScriptedControls& c) {
  return {c.Text(sound::kSound), c.Text(sound::kWait), c.IsChecked(sound::kTorque),
          Cp932ToUtf8(c.Text(sound::kTorque)).value_or("?")};
}

// The document's six values.
auto Six(const MotionDocument& d) {
  return std::tuple(d.motion.startSound, d.motion.endSound, d.motion.startWait, d.motion.endWait,
                    d.motion.startTorqueOn, d.motion.endTorqueOff);
}

class SoundDlgTest : public EditorFixture {
 protected:
  void SetUp() override {
    Start();
    document->motion.endTorqueOff = 1;
    document->motion.endWait = 120;
  }
  bool Run(std::deque<Step> steps) {
    ui.modalSteps = std::move(steps);
    const bool ok = EditStartEndProcessing(*document, editor);
    EXPECT_THAT(ui.modalSteps, IsEmpty()) << "the dialog closed before the script ended";
    return ok;
  }
};

TEST_F(SoundDlgTest, OpensOnTheStartValuesAndCancelKeepsTheDocument) {
  const auto before = Six(*document);
  EXPECT_FALSE(Run({Type(sound::kWait, "7"), Click(kIdCancel)}));
  const ScriptedControls& dialog = ui.modalControls;
  EXPECT_TRUE(dialog.IsChecked(sound::kShowStart));
  EXPECT_FALSE(dialog.IsChecked(sound::kShowEnd));
  EXPECT_EQ(dialog.at(sound::kWaitSpin).lower, 0);
  EXPECT_EQ(dialog.at(sound::kWaitSpin).upper, 3000);
  EXPECT_EQ(Six(*document), before);
  EXPECT_EQ(document->motion.startSound, "voice\\303.wav") << "the settings' default";
  EXPECT_FALSE(document->modified);
}

TEST_F(SoundDlgTest, SwitchingKeepsBothSidesAndOkStoresThem) {
  const Shown start{"voice\\303.wav", "100", false, "サーボトルクON"};
  const Shown end{"voice\\Y153.wav", "120", true, "サーボトルクOFF"};
  const auto shows = [](const Shown& expected) {
    return Expect([expected](ScriptedControls& c) { EXPECT_EQ(ShownIn(c), expected); });
  };
  EXPECT_TRUE(
      Run({shows(start), Type(sound::kSound, "a.wav"), Type(sound::kWait, "abc"),
           Tick(sound::kTorque, true), Radio(sound::kShowEnd), shows(end), Type(sound::kWait, "45"),
           Tick(sound::kTorque, false), Radio(sound::kShowStart),
           shows({"a.wav", "0", true, "サーボトルクON"}), Type(sound::kSound, "b.wav"),
           Radio(sound::kShowStart), shows({"b.wav", "0", true, "サーボトルクON"}), Click(kIdOk)}));
  EXPECT_EQ(Six(*document),
            std::tuple(std::string("b.wav"), std::string("voice\\Y153.wav"), 0, 45, 1, 0));
  EXPECT_TRUE(document->modified);
}

TEST_F(SoundDlgTest, OkStoresTheSideShown) {
  EXPECT_TRUE(Run({Radio(sound::kShowEnd), Type(sound::kWait, "300"), Click(kIdOk)}));
  EXPECT_EQ(document->motion.endWait, 300);
  EXPECT_EQ(document->motion.startWait, 100);
}

TEST_F(SoundDlgTest, ASoundNameNoProgramCanCarryIsRefusedAtOk) {
  const auto before = Six(*document);
  const auto shows = [](int side, const std::string& sound) {
    return Expect([side, sound](ScriptedControls& c) {
      EXPECT_TRUE(c.IsChecked(side));
      EXPECT_EQ(c.Text(sound::kSound), sound);
      EXPECT_EQ(c.focus, sound::kSound);
    });
  };
  // The end side holds the bad name while the start side is shown: OK turns
  // to the end side to show it.
  EXPECT_TRUE(
      Run({Type(sound::kSound, "a\"b.wav"), Click(kIdOk), shows(sound::kShowStart, "a\"b.wav"),
           Type(sound::kSound, "a.wav"), Radio(sound::kShowEnd), Type(sound::kSound, "<c>.wav"),
           Radio(sound::kShowStart), Click(kIdOk), shows(sound::kShowEnd, "<c>.wav"),
           Type(sound::kSound, "c.wav"), Click(kIdOk)}));
  EXPECT_THAT(ui.shownIds(), ::testing::ElementsAre(kMsgSoundNameUnfit, kMsgSoundNameUnfit));
  EXPECT_THAT(ui.shown[1].args, ::testing::ElementsAre("<c>.wav"));
  EXPECT_EQ(document->motion.startSound, "a.wav");
  EXPECT_EQ(document->motion.endSound, "c.wav");
  EXPECT_NE(Six(*document), before);
}

// The browse, on a card whose file system starts at card/.
class BrowseSoundTest : public SoundDlgTest {
 protected:
  std::string Card() const { return folder.Path("card/"); }
  std::string Browse(std::deque<Step> steps) {
    CSoundDlg dialog(*document, ui, ui);
    dialog.cardRootOf = [this](const std::string& path) {
      return path.starts_with(Card()) ? Card() : std::string("/");
    };
    ui.modalSteps = std::move(steps);
    ui.RunModal(dialog);
    return ui.modalControls.Text(sound::kSound);
  }
};

TEST_F(BrowseSoundTest, OpensInTheCardsVoiceFolderAndTakesThePathFromTheCardsRoot) {
  document->logPath = Card() + SystemText("サーボ01.LOG");
  ui.fileAnswers = {FileDialogAnswer{Card() + "voice/Y200.wav", false}};
  EXPECT_EQ(Browse({Click(sound::kBrowse), Click(kIdCancel)}), "voice\\Y200.wav");
  const FileDialogRequest& request = ui.fileRequests.at(0);
  EXPECT_TRUE(request.open);
  EXPECT_EQ(request.initialName, Card() + "voice/303.wav");
  EXPECT_EQ(request.initialFolder, Card() + "voice");
  EXPECT_EQ(request.defaultExtension, "wav");
  EXPECT_EQ(request.filter, SystemText("音声ファイル|*.wav||"));
}

TEST_F(BrowseSoundTest, WithoutALogTheNameIsBareAndTheEndSideUsesItsOwnCopy) {
  // ソ ends in the byte of "\": it is no separator.
  document->motion.endSound = SystemText("voice\\ソ.wav");
  ui.fileAnswers = {std::nullopt};
  Browse({Radio(sound::kShowEnd), Type(sound::kSound, "typed.wav"), Click(sound::kBrowse),
          Click(kIdCancel)});
  const FileDialogRequest& request = ui.fileRequests.at(0);
  EXPECT_EQ(request.initialName, SystemText("voice/ソ.wav"));
  EXPECT_EQ(request.initialFolder, "voice");
  EXPECT_FALSE(document->modified) << "a cancelled browse changes nothing";
}

TEST_F(BrowseSoundTest, AFileElsewhereIsNamedFromItsOwnRoot) {
  ui.fileAnswers = {FileDialogAnswer{"/media/other/voice/a.wav", false}};
  EXPECT_EQ(Browse({Click(sound::kBrowse), Click(kIdCancel)}), "media\\other\\voice\\a.wav");
}

TEST_F(SoundDlgTest, CancelAfterABrowseKeepsTheValuesButMarksTheMotionModified) {
  const auto before = Six(*document);
  ui.fileAnswers = {FileDialogAnswer{"/voice/Y200.wav", false}};
  EXPECT_FALSE(Run({Click(sound::kBrowse), Click(kIdCancel)}));
  EXPECT_EQ(ui.modalControls.Text(sound::kSound), "voice\\Y200.wav");
  EXPECT_EQ(Six(*document), before);
  EXPECT_TRUE(document->modified);
}

TEST(MountPoint, IsTheTopOfTheFileSystemHoldingThePath) {
  EXPECT_EQ(MountPointOf("/"), "/");
  EXPECT_EQ(MountPointOf("/proc/self/status"), "/proc/");
  EXPECT_EQ(MountPointOf("/proc/no/such/file.wav"), "/proc/") << "missing parts are skipped";
  TempFolder folder;
  const std::string root = MountPointOf(folder.Path("x.wav"));
  EXPECT_TRUE(folder.Path("x.wav").starts_with(root)) << root;
  EXPECT_EQ(root.back(), '/');
}

}  // namespace
}  // namespace kz::testing
