// The generic host on the smaller windows: the about box and message boxes.
#include "gui/dialog_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/about_dlg.h"
#include "gui/qt_prompts.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz {
namespace {

TEST(AboutBox, ShowsTheIconTheVersionAndOk) {
  CAboutDlg about;
  DialogHost host(about, *FindDialogTemplate(CAboutDlg::kTemplateId));
  host.Initialise();
  host.show();
  EXPECT_EQ(host.windowTitle(), QString("バージョン情報 KZMotion"));
  EXPECT_EQ(host.Text(1000), "KZMotion, Version 4.22");
  bool hasIcon = false;
  for (QLabel* label : host.findChildren<QLabel*>()) hasIcon |= !label->pixmap().isNull();
  EXPECT_TRUE(hasIcon);
  auto* ok = qobject_cast<QPushButton*>(host.Widget(kIdOk));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), "OK");

  QTest::keyClick(&host, Qt::Key_Return);
  EXPECT_FALSE(host.isVisible());
  EXPECT_EQ(host.result(), kIdOk);
}

TEST(MessageBoxes, EachKindHasItsIconAndButtons) {
  using B = QMessageBox;
  const struct {
    BoxKind kind;
    B::Icon icon;
    B::StandardButtons buttons;
    B::StandardButton press;
    Button answer;
  } cases[] = {
      {BoxKind::kOk, B::NoIcon, B::Ok, B::Ok, Button::kOk},
      {BoxKind::kInformation, B::Information, B::Ok, B::Ok, Button::kOk},
      {BoxKind::kError, B::Critical, B::Ok, B::Ok, Button::kOk},
      {BoxKind::kExclamation, B::Warning, B::Ok, B::Ok, Button::kOk},
      {BoxKind::kOkCancel, B::NoIcon, B::Ok | B::Cancel, B::Cancel, Button::kCancel},
      {BoxKind::kYesNoQuestion, B::Question, B::Yes | B::No, B::No, Button::kNo},
      {BoxKind::kYesNoCancelQuestion, B::Question, B::Yes | B::No | B::Cancel, B::Yes,
       Button::kYes},
      {BoxKind::kYesNoCancelExclamation, B::Warning, B::Yes | B::No | B::Cancel, B::Cancel,
       Button::kCancel},
  };
  QtPrompts prompts;
  for (const auto& c : cases) {
    B::Icon icon{};
    B::StandardButtons buttons{};
    QString text;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<B*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      icon = box->icon();
      buttons = box->standardButtons();
      text = box->text();
      box->button(c.press)->click();
    });
    EXPECT_EQ(prompts.ShowMessage(kMsgPoseListFull, c.kind, {}), c.answer);
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(buttons, c.buttons);
    EXPECT_EQ(text.toStdString(), MessageText(kMsgPoseListFull));
  }
}

TEST(MessageBoxes, ArgumentsAreSystemText) {
  QtPrompts prompts;
  QString text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    box->accept();
  });
  prompts.ShowMessage(144, BoxKind::kOk, {SystemText("ポーズ1")});
  EXPECT_EQ(text, "ブロック名[ポーズ1]が見つかりませんでした") << text.toStdString();
}

}  // namespace
}  // namespace kz
