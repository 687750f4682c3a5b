// The recognition-word dialog's logic on controls held in memory, and its
// word list read from "Ninshiki.csv" beside the settings file, once per
// document.
#include "dialogs/ninshiki_dlg.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "fakes/editor_fixture.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class NinshikiDlgTest : public EditorFixture {
 protected:
  void SetUp() override {
    folder.Write(
        "Ninshiki.csv",
        SystemText("h\n32,こんにちは,x,y,15,z,w\n32,おやすみ,x,y,0,z,w\n32,歩いて,x,y,40,z,w\n"));
    Start();
  }
  CNinshikiDlg Opened(int number) {
    CNinshikiDlg dialog(*document, ui);
    dialog.recognitionNumber = number;
    dialog.OnInit(controls);
    return dialog;
  }
  bool Pick(CNinshikiDlg& dialog, int index) {
    controls.SelectListItem(ctl::kRecognitionWordList, index);
    return dialog.OnEvent(controls, ctl::kRecognitionWordList, ControlEvent::kSelectionChanged);
  }
  MemoryControls controls;
};

TEST_F(NinshikiDlgTest, OpensOnTheNumberWithItsWordSelected) {
  CNinshikiDlg dialog = Opened(15);
  EXPECT_EQ(controls.Text(ctl::kRecognitionNumber), "15");
  EXPECT_EQ(controls.lists[ctl::kRecognitionWordList].size(), 3u);
  EXPECT_EQ(controls.SelectedListItem(ctl::kRecognitionWordList), 0);
  EXPECT_TRUE(controls.IsEnabled(ctl::kRecognitionWordList));
}

TEST_F(NinshikiDlgTest, PickingAWordFillsInItsNumberUnlessItHasNone) {
  CNinshikiDlg dialog = Opened(23);
  EXPECT_EQ(controls.SelectedListItem(ctl::kRecognitionWordList), -1);
  EXPECT_FALSE(Pick(dialog, 2));
  EXPECT_EQ(controls.Text(ctl::kRecognitionNumber), "40");
  EXPECT_FALSE(Pick(dialog, 1));
  EXPECT_EQ(controls.Text(ctl::kRecognitionNumber), "40") << "a word numbered 0";
  EXPECT_TRUE(dialog.OnEvent(controls, kIdOk, ControlEvent::kClicked));
  EXPECT_EQ(dialog.recognitionNumber, 40);
}

TEST_F(NinshikiDlgTest, OkTakesOnlyAnIntegerFrom1To472) {
  const struct {
    const char* typed;
    int message;  // 0: accepted
    int number;
  } cases[] = {
      {"1", 0, 1},     {"472", 0, 472},   {" 23 ", 0, 23},   {"+7", 0, 7},
      {"0", 61714, 0}, {"473", 61714, 0}, {"-1", 61714, 0},  {"abc", 61712, 0},
      {"", 61712, 0},  {"12x", 61712, 0}, {"+-3", 61712, 0}, {"99999999999", 61712, 0},
  };
  for (const auto& c : cases) {
    CNinshikiDlg dialog = Opened(5);
    ui.shown.clear();
    controls.focus = 0;
    controls.SetText(ctl::kRecognitionNumber, c.typed);
    const bool closed = dialog.OnEvent(controls, kIdOk, ControlEvent::kClicked);
    EXPECT_EQ(closed, c.message == 0) << c.typed;
    if (c.message == 0) {
      EXPECT_EQ(dialog.recognitionNumber, c.number) << c.typed;
      EXPECT_THAT(ui.shown, IsEmpty()) << c.typed;
      continue;
    }
    EXPECT_EQ(dialog.recognitionNumber, 5) << c.typed;
    ASSERT_THAT(ui.shownIds(), ElementsAre(c.message)) << c.typed;
    EXPECT_EQ(ui.shown[0].kind, BoxKind::kExclamation);
    if (c.message == 61714) {
      EXPECT_THAT(ui.shown[0].args, ElementsAre("1", "472"));
    }
    EXPECT_EQ(controls.focus, ctl::kRecognitionNumber) << c.typed;
  }
}

TEST_F(NinshikiDlgTest, WithoutTheWordFileANumberCanStillBeTyped) {
  std::filesystem::remove(folder.Path("Ninshiki.csv"));
  CNinshikiDlg dialog = Opened(23);
  EXPECT_FALSE(controls.IsEnabled(ctl::kRecognitionWordList));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgWordsReadFailed));
  controls.SetText(ctl::kRecognitionNumber, "300");
  EXPECT_TRUE(dialog.OnEvent(controls, kIdOk, ControlEvent::kClicked));
  EXPECT_EQ(dialog.recognitionNumber, 300);

  CNinshikiDlg cancelled = Opened(23);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgWordsReadFailed, kMsgWordsReadFailed))
      << "told each time the dialog opens";
  EXPECT_TRUE(cancelled.OnEvent(controls, kIdCancel, ControlEvent::kClicked));
  EXPECT_EQ(cancelled.recognitionNumber, 23);
}

class LoadRecognitionWordsTest : public EditorFixture {
 protected:
  void SetUp() override { Start(); }
  bool Load(int preselect) { return LoadRecognitionWords(*document, list, ui, preselect); }
  MemoryControls list;
};

TEST_F(LoadRecognitionWordsTest, TheLastWordWithTheNumberIsSelected) {
  folder.Write("Ninshiki.csv", SystemText("h\n32,はい,a,b,5,c,d\n32,いいえ,a,b,6,c,d\n"
                                          "32,うん,a,b,5,c,d\n"));
  ASSERT_TRUE(Load(5));
  EXPECT_THAT(list.lists[ctl::kRecognitionWordList],
              ElementsAre(SystemText("はい"), SystemText("いいえ"), SystemText("うん")));
  EXPECT_EQ(list.SelectedListItem(ctl::kRecognitionWordList), 2);
  ASSERT_TRUE(Load(7));
  EXPECT_EQ(list.lists[ctl::kRecognitionWordList].size(), 3u) << "listed afresh";
  EXPECT_EQ(list.SelectedListItem(ctl::kRecognitionWordList), -1);
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(LoadRecognitionWordsTest, AMissingFileIsToldEachTimeAndAReadOneKeptForTheDocument) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    MemoryControls fresh;
    EXPECT_FALSE(LoadRecognitionWords(*document, fresh, ui, 1));
    EXPECT_FALSE(fresh.IsEnabled(ctl::kRecognitionWordList));
  }
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgWordsReadFailed, kMsgWordsReadFailed));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);

  folder.Write("Ninshiki.csv", "header only\n");
  ASSERT_TRUE(Load(1));
  EXPECT_TRUE(RecognitionWordsLoaded(*document));
  folder.Write("Ninshiki.csv", "header\n32,late,a,b,1,c,d\n");
  ASSERT_TRUE(Load(1));
  EXPECT_THAT(list.lists[ctl::kRecognitionWordList], IsEmpty())
      << "an empty table read once stays for the document";
  EXPECT_EQ(ui.shown.size(), 2u);
}

}  // namespace
}  // namespace kz::testing
