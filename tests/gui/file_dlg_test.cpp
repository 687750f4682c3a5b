// The file dialog with its option check box.
#include "gui/file_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>

#include "fakes/temp_folder.h"
#include "platform/text_encoding.h"

namespace kz {
namespace {

TEST(FileDialog, TheOptionBoxTakesItsTextAndStateAndIsHiddenWithoutText) {
  FileDialogRequest request;
  request.open = false;
  request.optionText = SystemText("姿勢毎のモーションを出力する(判定判定を行う)");
  request.optionChecked = true;
  CFileDlg withBox(request, nullptr);
  withBox.show();
  EXPECT_TRUE(withBox.option().isVisible());
  EXPECT_EQ(withBox.option().text(), "姿勢毎のモーションを出力する(判定判定を行う)");
  EXPECT_TRUE(withBox.option().isChecked());

  request.optionText.clear();
  CFileDlg plain(request, nullptr);
  plain.show();
  EXPECT_FALSE(plain.option().isVisible());
}

TEST(FileDialog, AnswersThePathAsSystemTextWithTheBoxState) {
  testing::TempFolder folder;
  FileDialogRequest request;
  request.open = false;
  request.defaultExtension = "KM4";
  request.filter = SystemText("ブログラム(KM4)|*.KM4||");
  request.optionText = "per posture";
  request.initialFolder = folder.path();
  CFileDlg dialog(request, nullptr);
  EXPECT_EQ(dialog.nameFilters(), QStringList{"ブログラム(KM4) (*.KM4)"});
  QTimer::singleShot(0, [&] {
    dialog.option().setChecked(true);
    dialog.selectFile(QString::fromStdString(folder.Path("歩く")));
    QMetaObject::invokeMethod(&dialog, "accept", Qt::DirectConnection);
  });
  const auto answer = dialog.Ask();
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->path, SystemText(folder.Path("歩く.KM4"))) << "the default extension is added";
  EXPECT_TRUE(answer->optionChecked);

  QTimer::singleShot(0, [&] { dialog.reject(); });
  EXPECT_FALSE(dialog.Ask());
}

TEST(FileDialog, AnInitialNameEndingInASeparatorIsTheFolderToStartIn) {
  testing::TempFolder folder;
  FileDialogRequest request;
  request.open = false;
  request.defaultExtension = "KM4";
  request.initialName = folder.path() + "/";
  CFileDlg dialog(request, nullptr);
  EXPECT_EQ(dialog.directory().absolutePath(), QString::fromStdString(folder.path()));
  QTimer::singleShot(0, [&] {
    auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "") << "no file is named after the folder";
    dialog.reject();
  });
  EXPECT_FALSE(dialog.Ask());
}

}  // namespace
}  // namespace kz
