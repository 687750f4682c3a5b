// The open and save commands of the edit-data file through the scripted
// window: the file dialogs, the editor taken over, what is shown after
// opening, and what a refused or failed file leaves.
#include "commands/edit_data_commands.h"

#include <gmock/gmock.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "fakes/edit_data_pieces.h"
#include "fakes/editor_fixture.h"
#include "formats/edit_data.h"
#include "model/settings.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class EditDataTest : public EditorFixture {
 protected:
  std::string DataPathSetting() const {
    return Settings(SettingsPath()).ReadText("DATA", "PATH", "", 260);
  }
  const Pose& PoseAt(int i) const { return document->motion.poses[static_cast<std::size_t>(i)]; }
  void Choose(const std::string& path) { ui.fileAnswers.push_back(FileDialogAnswer{path, false}); }
};

TEST_F(EditDataTest, SavingAndOpeningGiveTheSameFileByteForByte) {
  WriteSettings("[SOUND]\nSTART_SOUND=voice\\303.wav\n");
  StartWithPoses(3);
  document->motion.endSound = "voice\\Y153.wav";
  document->motion.startWait = 0;
  document->motion.endWait = 45;
  document->motion.endTorqueOff = 1;
  Pose& middle = document->motion.poses[1];
  middle.flags = kStartSynchronised;
  middle.startTime = 120;
  middle.reserved[2] = -5;
  middle.rightEye = 7 << 16;
  middle.label = SystemText("歩く");
  ui.SetText(ctl::kLoopCount, "5");
  ui.SetChecked(ctl::kBackAndForth, true);
  document->modified = true;
  ui.Enable(ctl::kWriteProgram, false);

  const std::string saved = folder.Path("walk.KZI");
  Choose(saved);
  ASSERT_EQ(SaveEditData(*document, editor), SaveResult::kSaved);
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  const FileDialogRequest& request = ui.fileRequests[0];
  EXPECT_FALSE(request.open);
  EXPECT_TRUE(request.overwritePrompt);
  EXPECT_EQ(request.defaultExtension, "KZI");
  EXPECT_EQ(Cp932ToUtf8(request.filter), "ﾓｰｼｮﾝﾃﾞｰﾀﾌｧｲﾙ|*.KZI||");
  EXPECT_FALSE(document->modified);
  EXPECT_EQ(document->editDataPath, saved);
  EXPECT_EQ(DataPathSetting(), saved);
  EXPECT_TRUE(ui.IsEnabled(ctl::kWriteProgram));
  EXPECT_TRUE(ui.IsEnabled(ctl::kSaveEditData));

  // A fresh editor opens it and saves it again.
  Start();
  Choose(saved);
  ASSERT_TRUE(OpenEditData(*document, editor));
  EXPECT_EQ(ui.fileRequests.back().initialName, saved) << "DATA/PATH is offered";
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "歩く", "ポーズ3"));
  EXPECT_EQ(document->currentPose, 0);
  EXPECT_EQ(ui.SelectedTab(ctl::kPoseTabs), 0);
  EXPECT_EQ(ui.ReadNumber(ctl::ServoField(1)), 1) << "the first pose is shown";
  EXPECT_EQ(ui.ReadNumber(ctl::kLoopCount), 5);
  EXPECT_TRUE(ui.IsChecked(ctl::kBackAndForth));
  EXPECT_TRUE(ui.IsEnabled(ctl::kDeletePose));
  EXPECT_EQ(document->motion.endSound, "voice\\Y153.wav");
  EXPECT_EQ(document->motion.endWait, 45);
  EXPECT_EQ(document->motion.startTorqueOn, 0);
  EXPECT_EQ(document->motion.endTorqueOff, 1);
  EXPECT_EQ(PoseAt(1).startTime, 120);
  EXPECT_EQ(PoseAt(1).reserved[2], -5);
  EXPECT_FALSE(document->modified);
  EXPECT_EQ(document->editDataPath, saved);

  Choose(folder.Path("again.KZI"));
  ASSERT_EQ(SaveEditData(*document, editor), SaveResult::kSaved);
  EXPECT_EQ(folder.Read("again.KZI"), folder.Read("walk.KZI"));
}

TEST_F(EditDataTest, ReadingShowsTheLoopSettingsOfTheFile) {
  StartWithPoses(1);
  const std::string file = Header(1, 0x5, 2) + Record(0x10, 50, 0) + Record(0x10, 50, 2);
  ASSERT_TRUE(ReadEditData(*document, editor, folder.Write("old.KZI", file)));
  EXPECT_EQ(document->motion, DecodeEditData(file, document->maxPose));
  EXPECT_EQ(ui.ReadNumber(ctl::kLoopCount), 2);
  EXPECT_TRUE(ui.IsChecked(ctl::kBackAndForth));
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(EditDataTest, AFileThatIsNotWholeIsRefusedAndTheDocumentKept) {
  for (const auto& c : NotWholeFiles()) {
    WriteSettings("[POSE]\nMAX_POSE=2\n");
    StartWithPoses(2);
    document->motion.startSound = "keep.wav";
    ui.SetText(ctl::kLoopCount, "7");
    ui.SetChecked(ctl::kBackAndForth, true);
    document->modified = false;
    EXPECT_FALSE(ReadEditData(*document, editor, folder.Write("bad.KZI", c.file))) << c.what;
    EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgEditDataWrong)) << c.what;
    EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
    EXPECT_EQ(document->poseCount(), 2) << c.what;
    EXPECT_EQ(LabelOf(1), "ポーズ2") << c.what;
    EXPECT_EQ(document->motion.startSound, "keep.wav") << c.what;
    EXPECT_EQ(ui.Text(ctl::kLoopCount), "7") << c.what;
    EXPECT_TRUE(ui.IsChecked(ctl::kBackAndForth)) << c.what;
    EXPECT_FALSE(document->modified) << c.what;
    ui.shown.clear();
  }
}

TEST_F(EditDataTest, AnUnreadableFileShowsMessage131) {
  StartWithPoses(1);
  EXPECT_FALSE(ReadEditData(*document, editor, folder.Path("missing.KZI")));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgEditDataReadFailed));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
  EXPECT_EQ(document->poseCount(), 1);
}

TEST_F(EditDataTest, OpeningAProgramInAnyCaseUsesTheProgramReader) {
  WriteSettings("[DATA]\nPATH=/old/place.KZI\n");
  StartWithPoses(2);
  StandardValues values{};
  values[0] = 100;
  document->standardValues = values;
  const std::string program =
      "<medit>\r\n\t<block name=\"step\" type=\"0\"/>\r\n</medit>\r\n"
      "<mem_w size=\"2\" adr=\"0x0a00\">\r\n"
      "\t0x0000,0x0064,0x0005,0x0064,\r\n\t0x0000,0x0064,\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,0x0000,0x0000,0x0000,0x0000,0x0001,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,\r\n"
      "</mem_w>\r\n<mem_w size=\"2\" adr=\"0x0b00\">40</mem_w>\r\n";
  const std::string path = folder.Write("walk.km4", program);
  Choose(path);
  ASSERT_TRUE(OpenEditData(*document, editor));

  const FileDialogRequest& request = ui.fileRequests[0];
  EXPECT_TRUE(request.open);
  EXPECT_EQ(request.defaultExtension, "KZI");
  EXPECT_EQ(request.initialName, "/old/place.KZI");
  EXPECT_EQ(Cp932ToUtf8(request.filter), "モーションデータ|*.KZI|プログラム(KM4)|*.KM4||");
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_THAT(Tabs(), ElementsAre("step"));
  EXPECT_EQ(ui.ReadNumber(ctl::ServoField(0)), 105);
  EXPECT_EQ(ui.ReadNumber(ctl::kTravelTime), 40);
  EXPECT_EQ(document->motion.poses[0].leftEye, 5u);
  EXPECT_EQ(document->currentPose, 0);
  EXPECT_EQ(document->editDataPath, path);
  EXPECT_EQ(DataPathSetting(), path);
  EXPECT_TRUE(ui.IsEnabled(ctl::kWriteProgram));
  EXPECT_FALSE(document->modified);
}

TEST_F(EditDataTest, OpeningAFileThatIsNoProgramKeepsTheMotion) {
  StartWithPoses(2);
  document->standardValues = StandardValues{};
  document->editDataPath = folder.Path("mine.KZI");
  document->motion.endSound = "mine.wav";
  document->modified = true;
  const std::string path = folder.Write("EMPTY.KM4", "<wait size=\"1\" adr=\"0x0b43\"/>\r\n");
  Choose(path);
  EXPECT_FALSE(OpenEditData(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgNotAMotionProgram));
  EXPECT_EQ(document->poseCount(), 2);
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "ポーズ2"));
  EXPECT_EQ(document->editDataPath, folder.Path("mine.KZI"));
  EXPECT_EQ(DataPathSetting(), "");
  EXPECT_EQ(document->motion.endSound, "mine.wav");
  EXPECT_TRUE(document->modified);
}

TEST_F(EditDataTest, OpenCancelledOrFailed) {
  StartWithPoses(2);
  ui.fileAnswers.push_back(std::nullopt);
  EXPECT_TRUE(OpenEditData(*document, editor)) << "a cancelled dialog is no failure";
  EXPECT_THAT(ui.shown, IsEmpty());

  Choose(folder.Write("bad.KZI", "kazi"));
  EXPECT_FALSE(OpenEditData(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgEditDataWrong));
  EXPECT_EQ(document->editDataPath, "");
  EXPECT_EQ(DataPathSetting(), "");
  EXPECT_EQ(document->poseCount(), 2);
}

TEST_F(EditDataTest, SaveCancelledOrRefusedByTheEditor) {
  StartWithPoses(1);
  document->editDataPath = folder.Path("before.KZI");
  ui.fileAnswers.push_back(std::nullopt);
  EXPECT_EQ(SaveEditData(*document, editor), SaveResult::kCancelled);
  EXPECT_EQ(ui.fileRequests[0].initialName, folder.Path("before.KZI"));
  EXPECT_EQ(document->editDataPath, folder.Path("before.KZI"));

  ui.SetText(ctl::kTravelTime, "19");
  Choose(folder.Path("after.KZI"));
  EXPECT_EQ(SaveEditData(*document, editor), SaveResult::kFailed);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgTravelTimeTooShort));
  EXPECT_EQ(document->editDataPath, folder.Path("after.KZI")) << "the chosen path is kept";
  EXPECT_EQ(folder.Read("after.KZI"), "<missing>");
}

TEST_F(EditDataTest, ASoundNameLongerThan31BytesIsRefusedBeforeWriting) {
  StartWithPoses(1);
  const std::string target = folder.Write("keep.KZI", "previous");
  const std::string fits(31, 's');
  const std::string tooLong = std::string(28, 'e') + ".wav";
  document->motion.startSound = fits;
  document->motion.endSound = tooLong;
  document->modified = true;
  Choose(target);
  EXPECT_EQ(SaveEditData(*document, editor), SaveResult::kFailed);
  ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgSoundNameTooLong));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kExclamation);
  EXPECT_THAT(ui.shown[0].args, ElementsAre(tooLong, "31"));
  EXPECT_EQ(folder.Read("keep.KZI"), "previous");
  EXPECT_TRUE(document->modified);

  document->motion.endSound = fits;
  Choose(target);
  EXPECT_EQ(SaveEditData(*document, editor), SaveResult::kSaved);
  EXPECT_EQ(folder.Read("keep.KZI").substr(32, 32), fits + '\0');

  // 31 bytes ending in the first byte of a two-byte character fit as well and
  // come back unchanged.
  const std::string halfAtTheEnd = std::string(30, 'h') + "\x83";
  document->motion.startSound = halfAtTheEnd;
  Choose(target);
  ASSERT_EQ(SaveEditData(*document, editor), SaveResult::kSaved);
  EXPECT_EQ(folder.Read("keep.KZI").substr(32, 32), halfAtTheEnd + '\0');
  document->motion.startSound.clear();
  ASSERT_TRUE(ReadEditData(*document, editor, target));
  EXPECT_EQ(document->motion.startSound, halfAtTheEnd);
}

TEST_F(EditDataTest, AFailedWriteShowsMessage132AndLeavesWhatWasThere) {
  StartWithPoses(1);
  document->modified = true;
  std::filesystem::create_directory(folder.Path("taken.KZI"));
  folder.Write("taken.KZI/inside", "x");
  Choose(folder.Path("taken.KZI"));
  EXPECT_EQ(SaveEditData(*document, editor), SaveResult::kFailed);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgEditDataWriteFailed));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
  EXPECT_EQ(folder.Read("taken.KZI/inside"), "x");
  EXPECT_TRUE(document->modified);
  EXPECT_EQ(DataPathSetting(), "");
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    EXPECT_EQ(entry.path().filename().string().rfind("taken.KZI.", 0), std::string::npos)
        << "a temporary file was left behind: " << entry.path();
}

TEST_F(EditDataTest, AFailedSaveNeverTruncatesThePreviousFile) {
  StartWithPoses(1);
  std::filesystem::create_directory(folder.Path("locked"));
  const std::string target = folder.Write("locked/walk.KZI", "previous motion");
  ::chmod(folder.Path("locked").c_str(), 0555);
  if (::access(folder.Path("locked").c_str(), W_OK) == 0) {
    ::chmod(folder.Path("locked").c_str(), 0755);
    GTEST_SKIP() << "the folder stays writable for this user (root)";
  }
  Choose(target);
  EXPECT_EQ(SaveEditData(*document, editor), SaveResult::kFailed);
  ::chmod(folder.Path("locked").c_str(), 0755);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgEditDataWriteFailed));
  EXPECT_EQ(folder.Read("locked/walk.KZI"), "previous motion");
}

TEST_F(EditDataTest, SavingToAPathTakesTheMotionAsItStands) {
  StartWithPoses(2);
  document->motion.loopCount = 3;
  document->modified = true;
  // The window's fields are not read: the motion holds what is saved.
  ui.SetText(ctl::kLoopCount, "9");
  ui.SetText(ctl::ServoField(0), "-100");
  const std::string target = folder.Path("to.KZI");
  ASSERT_EQ(SaveEditDataTo(*document, ui, target), SaveResult::kSaved);
  EXPECT_EQ(folder.Read("to.KZI"), EncodeEditData(document->motion));
  EXPECT_EQ(DecodeEditData(folder.Read("to.KZI"), 180)->loopCount, 3);
  EXPECT_EQ(PoseAt(0).servo[0], 0);
  EXPECT_EQ(document->editDataPath, target);
  EXPECT_EQ(DataPathSetting(), target);
  EXPECT_FALSE(document->modified);
  EXPECT_THAT(ui.fileRequests, IsEmpty());
  EXPECT_THAT(ui.shown, IsEmpty());
}

}  // namespace
}  // namespace kz::testing
