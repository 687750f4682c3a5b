// The recognition-word dialog on its real template, headless.
#include <gmock/gmock.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "commands/binary_program_commands.h"
#include "dialogs/ninshiki_dlg.h"
#include "fakes/scripted_ui.h"
#include "fakes/temp_folder.h"
#include "gui/dialog_host.h"
#include "gui/qt_dialogs.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class NinshikiDlgGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("KZMotion.ini", "");
    folder.Write("Ninshiki.csv", SystemText("h\n32,こんにちは,x,y,15,z,w\n32,歩いて,x,y,40,z,w\n"));
    document = std::make_unique<MotionDocument>(folder.Path("KZMotion.ini"));
  }
  TempFolder folder;
  ScriptedUi ui;
  std::unique_ptr<MotionDocument> document;
};

TEST_F(NinshikiDlgGuiTest, TheListFillsInTheNumberAndOkChecksIt) {
  CNinshikiDlg dialog(*document, ui);
  dialog.recognitionNumber = 15;
  const DialogTemplate* dialogTemplate = FindDialogTemplate(CNinshikiDlg::kTemplateId);
  ASSERT_NE(dialogTemplate, nullptr);
  DialogHost host(dialog, *dialogTemplate);
  host.Initialise();
  host.show();
  EXPECT_EQ(host.windowTitle(), QString("音声認識語入力"));
  QStringList labels;
  for (QLabel* label : host.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains("置き替えるプログラムの認識語を指定してください"));

  auto* list = qobject_cast<QComboBox*>(host.Widget(ctl::kRecognitionWordList));
  auto* number = qobject_cast<QLineEdit*>(host.Widget(ctl::kRecognitionNumber));
  ASSERT_NE(list, nullptr);
  ASSERT_NE(number, nullptr);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(1), QString("歩いて"));
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_EQ(number->text(), "15");

  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(number->text(), "40") << "the user's pick fills in its number";

  number->setFocus();
  number->selectAll();
  QTest::keyClicks(number, "473");
  QTest::keyClick(&host, Qt::Key_Return);
  EXPECT_TRUE(host.isVisible());
  EXPECT_THAT(ui.shownIds(), ElementsAre(61714));
  number->selectAll();
  QTest::keyClicks(number, "472");
  QTest::keyClick(&host, Qt::Key_Return);
  EXPECT_FALSE(host.isVisible());
  EXPECT_EQ(host.result(), kIdOk);
  EXPECT_EQ(dialog.recognitionNumber, 472);
}

TEST_F(NinshikiDlgGuiTest, TheBinaryWriterAsksThroughTheRealDialog) {
  std::string image(0x30000, '\0');
  image.replace(0x28100 - 7, 11, std::string("\x28\x00\x00\x00\xD1\xD9\xE0\x00\x10\x00\x00", 11));
  image[0x100A] = '\x82';
  const std::string path = folder.Write("STARTUP.BIN", image);
  document->motion.poses.push_back(Pose{});

  QtDialogs dialogs;
  EditorUi editor{ui, ui, dialogs};
  QString shownNumber;
  QTimer::singleShot(0, [&] {
    auto* host = dynamic_cast<DialogHost*>(QApplication::activeModalWidget());
    ASSERT_NE(host, nullptr);
    auto* list = qobject_cast<QComboBox*>(host->Widget(ctl::kRecognitionWordList));
    shownNumber = qobject_cast<QLineEdit*>(host->Widget(ctl::kRecognitionNumber))->text();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);  // from no selection to the first word
    QTest::keyClick(list, Qt::Key_Down);  // 歩いて, number 40
    QTest::keyClick(host, Qt::Key_Return);
  });
  ASSERT_TRUE(WriteBinaryProgram(*document, editor, path, kDispatchMode));
  EXPECT_EQ(shownNumber, "23") << "the default number";
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgBinaryWritten));
  EXPECT_EQ(folder.Read("STARTUP.BIN").substr(0x100B, 4), std::string("\x00\x00\x03\x00", 4));
}

}  // namespace
}  // namespace kz::testing
