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
#include "ui/dialog_template.h"
#include "ui/messages.h"

namespace kz {
namespace {

// A logic that only records what reaches it.
class RecordingLogic : public DialogLogic {
 public:
  int TemplateId() const override { return 0; }
  void OnInit(Controls&) override {}
  bool OnEvent(Controls&, int id, ControlEvent event) override {
    events.emplace_back(id, event);
    return false;
  }
  std::vector<std::pair<int, ControlEvent>> events;
};

constexpr ControlTemplate kChoiceControls[] = {
    {10, ControlKind::kRadioButton, "両目", 10, 10, 40, 10},
    {11, ControlKind::kRadioButton, "左目", 10, 22, 40, 10},
    {12, ControlKind::kRadioButton, "右目", 10, 34, 40, 10},
    {20, ControlKind::kDropDownList, "", 60, 10, 60, 60},
    {30, ControlKind::kTextField, "", 60, 30, 60, 12},
};
constexpr DialogTemplate kChoiceDialog{0, "choices", 130, 60, kChoiceControls};

TEST(DialogHost, RadioGroupsListsAndTextFields) {
  RecordingLogic logic;
  DialogHost host(logic, kChoiceDialog);
  host.show();
  host.SetChecked(10, true);
  host.SetChecked(12, true);
  EXPECT_FALSE(host.IsChecked(10)) << "one radio of a group is on";
  host.SetChecked(12, false);
  EXPECT_FALSE(host.IsChecked(12)) << "the program may clear the whole group";
  QTest::mouseClick(host.Widget(11), Qt::LeftButton);
  EXPECT_TRUE(host.IsChecked(11));

  host.AddListItem(20, SystemText("パターン0"));
  host.AddListItem(20, SystemText("パターン1"));
  host.SelectListItem(20, 1);
  EXPECT_EQ(host.SelectedListItem(20), 1);
  host.SelectListItem(20, -1);
  EXPECT_EQ(host.SelectedListItem(20), -1);
  host.ClearList(20);
  EXPECT_EQ(host.SelectedListItem(20), -1);

  host.SetText(30, SystemText("voice\\303.wav"));
  EXPECT_EQ(host.Text(30), "voice\\303.wav");
  using E = ControlEvent;
  EXPECT_EQ(logic.events,
            (std::vector<std::pair<int, E>>{{11, E::kClicked}, {30, E::kTextChanged}}))
      << "programmatic checks and list picks raise nothing";
}

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

TEST(MessageBoxes, DetailsGoBehindTheBoxNotIntoItsText) {
  QtPrompts prompts;
  QString text, details, plainDetails;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    details = box->detailedText();
    box->accept();
  });
  prompts.ShowMessage(kMsgFlashAirFailed, BoxKind::kOk, {SystemText("接続できません")},
                      "Failed to connect to flashair port 80: Connection refused");
  EXPECT_EQ(text, "FlashAirとの通信に失敗しました[接続できません]") << text.toStdString();
  EXPECT_EQ(details, "Failed to connect to flashair port 80: Connection refused");

  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    plainDetails = box->detailedText();
    box->accept();
  });
  prompts.ShowMessage(kMsgPoseListFull, BoxKind::kOk, {});
  EXPECT_TRUE(plainDetails.isEmpty());
}

}  // namespace
}  // namespace kz
