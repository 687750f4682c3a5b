// Loading a motion file without showing it, and what the tool checks in
// place of the window's editor.
#include "commands/motion_file_commands.h"

#include <gmock/gmock.h>

#include "fakes/editor_fixture.h"
#include "formats/edit_data.h"
#include "model/settings.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MotionFileTest : public EditorFixture {};

TEST_F(MotionFileTest, ProgramsAreNamedByTheirExtensionInAnyCase) {
  for (const char* path : {"a.KM4", "a.km4", "/x/y.Km4", ".KM4"})
    EXPECT_TRUE(IsProgramTextPath(path)) << path;
  for (const char* path : {"a.KZI", "a.KM4.KZI", "KM4", "a.KM", ""})
    EXPECT_FALSE(IsProgramTextPath(path)) << path;
}

TEST_F(MotionFileTest, LoadingReadsTheMotionWithoutShowingIt) {
  StartWithPoses(3);
  Motion saved = document->motion;
  saved.poses.resize(2);
  saved.loopCount = 4;
  const std::string path = folder.Write("walk.KZI", EncodeEditData(saved));
  document->modified = true;
  const std::vector<std::string> tabsBefore = Tabs();

  ASSERT_TRUE(LoadMotionFile(*document, editor, path));
  EXPECT_EQ(document->motion, saved);
  EXPECT_EQ(document->currentPose, 0);
  EXPECT_EQ(document->editDataPath, path);
  EXPECT_EQ(Settings(SettingsPath()).ReadText("DATA", "PATH", "", 260), path);
  EXPECT_FALSE(document->modified);
  EXPECT_EQ(Tabs(), tabsBefore) << "the tabs still show the motion before";

  // Opening shows it.
  ASSERT_TRUE(OpenMotionFile(*document, editor, path));
  EXPECT_THAT(Tabs(), ElementsAre("ポーズ1", "ポーズ2"));
  EXPECT_FALSE(document->modified);
}

TEST_F(MotionFileTest, AnEmptyMotionLoadsAsAnEmptyEditorHasIt) {
  StartWithPoses(2);
  Motion empty;
  empty.backAndForth = true;
  empty.loopCount = 3;
  const std::string path = folder.Write("empty.KZI", EncodeEditData(empty));
  ASSERT_TRUE(LoadMotionFile(*document, editor, path));
  EXPECT_EQ(document->poseCount(), 0);
  EXPECT_EQ(document->currentPose, -1);
  EXPECT_FALSE(document->motion.backAndForth);
  EXPECT_EQ(document->motion.loopCount, 3);

  // Opening it leaves the document the same.
  StartWithPoses(2);
  ASSERT_TRUE(OpenMotionFile(*document, editor, path));
  EXPECT_EQ(document->currentPose, -1);
  EXPECT_FALSE(document->motion.backAndForth);
  EXPECT_EQ(document->motion.loopCount, 3);
  EXPECT_THAT(Tabs(), IsEmpty());
}

TEST_F(MotionFileTest, AFileNotReadLeavesTheDocument) {
  StartWithPoses(2);
  document->editDataPath = "mine.KZI";
  EXPECT_FALSE(LoadMotionFile(*document, editor, folder.Write("bad.KZI", "kazi")));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgEditDataWrong));
  EXPECT_EQ(document->poseCount(), 2);
  EXPECT_EQ(document->editDataPath, "mine.KZI");
}

// What committing the editor refuses when the current pose is shown: its
// travel time under 20 with the speed check on, or an empty travel time
// when there is no pose.
TEST_F(MotionFileTest, TheTravelTimeIsCheckedAsTheEditorChecksIt) {
  const struct {
    bool speedCheck;
    int poses;
    int travelTime;
    bool accepted;
  } cases[] = {
      {true, 1, 20, true}, {true, 1, 19, false}, {true, 1, -3, false}, {true, 0, 60, false},
      {false, 1, 1, true}, {false, 1, -3, true}, {false, 0, 60, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.speedCheck << " " << c.poses << " " << c.travelTime);
    StartWithPoses(2);
    document->speedCheck = c.speedCheck;
    document->motion.poses.resize(static_cast<std::size_t>(c.poses));
    document->currentPose = c.poses > 0 ? 0 : -1;
    if (c.poses > 0) document->motion.poses[0].travelTime = c.travelTime;
    ui.shown.clear();
    EXPECT_EQ(TravelTimeAccepted(*document, ui), c.accepted);
    EXPECT_EQ(ui.shownIds(),
              c.accepted ? std::vector<int>{} : std::vector<int>{kMsgTravelTimeTooShort});

    // The window's commit with the pose shown gives the same answer.
    if (c.poses > 0) {
      ShowPose(*document, ui);
    } else {
      ClearEditor(*document, ui);
    }
    ui.shown.clear();
    EXPECT_EQ(CommitEditor(*document, editor), c.accepted);
    EXPECT_EQ(ui.shownIds(),
              c.accepted ? std::vector<int>{} : std::vector<int>{kMsgTravelTimeTooShort});
  }
}

}  // namespace
}  // namespace kz::testing
