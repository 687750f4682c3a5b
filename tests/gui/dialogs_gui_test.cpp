// The LED, start/end processing and parameter dialogs on their real
// templates, headless: every control is there, every text fits, and the
// controls start as the logic sets them.
#include <gmock/gmock.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "dialogs/led_dlg.h"
#include "dialogs/param_dlg.h"
#include "dialogs/sound_dlg.h"
#include "fakes/scripted_ui.h"
#include "fakes/temp_folder.h"
#include "gui/dialog_host.h"
#include "gui/swatch_button.h"
#include "gui/up_down.h"
#include "platform/text_encoding.h"

namespace kz::testing {
namespace {

// What a control paints: a check box or radio button only as far as its box
// and text reach, a label only as far as its lines do.
QRect PaintedRect(QWidget& widget) {
  QRect rect = widget.geometry();
  if (qobject_cast<QCheckBox*>(&widget) || qobject_cast<QRadioButton*>(&widget))
    rect.setWidth(widget.sizeHint().width());
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    const QRect text = label->fontMetrics().boundingRect(QRect(0, 0, rect.width(), 100000),
                                                         Qt::TextWordWrap, label->text());
    rect.setSize(text.size());
  }
  return rect;
}

void ExpectEveryTextFitsAndNothingOverlaps(DialogHost& host) {
  std::vector<QWidget*> painted;
  for (QWidget* widget : host.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QRect rect = widget->geometry();
    EXPECT_TRUE(host.rect().contains(rect)) << widget->metaObject()->className();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      EXPECT_LE(label->heightForWidth(rect.width()), rect.height()) << label->text().toStdString();
    } else if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
      EXPECT_LE(widget->sizeHint().width(), rect.width())
          << qobject_cast<QAbstractButton*>(widget)->text().toStdString();
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
      if (!dynamic_cast<SwatchButton*>(button)) {
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 6, rect.width())
            << button->text().toStdString();
      }
    } else if (!qobject_cast<QLineEdit*>(widget) && !qobject_cast<QComboBox*>(widget) &&
               !dynamic_cast<UpDown*>(widget)) {
      continue;  // frames lie beneath what they hold
    }
    painted.push_back(widget);
  }
  for (std::size_t i = 0; i < painted.size(); ++i)
    for (std::size_t j = i + 1; j < painted.size(); ++j)
      EXPECT_FALSE(PaintedRect(*painted[i]).intersects(PaintedRect(*painted[j])))
          << painted[i]->metaObject()->className() << " at " << painted[i]->x() << ","
          << painted[i]->y() << " and " << painted[j]->metaObject()->className() << " at "
          << painted[j]->x() << "," << painted[j]->y();
}

class DialogsGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("KZMotion.ini", "");
    document = std::make_unique<MotionDocument>(folder.Path("KZMotion.ini"));
    Pose pose;
    pose.leftEye = 3 << 16;
    pose.rightEye = 5 << 16;
    pose.mouth = 200;
    pose.travelTime = 60;
    document->motion.poses.push_back(pose);
    document->currentPose = 0;
  }

  // Builds the dialog of `logic` on its template and shows it.
  void Open(DialogLogic& logic) {
    const DialogTemplate* dialog = FindDialogTemplate(logic.TemplateId());
    ASSERT_NE(dialog, nullptr);
    host = std::make_unique<DialogHost>(logic, *dialog);
    host->Initialise();
    host->show();
  }

  template <typename Widget>
  void ExpectControls(std::initializer_list<int> ids) {
    for (int id : ids) EXPECT_NE(dynamic_cast<Widget*>(host->Widget(id)), nullptr) << id;
  }
  std::string Text(int id) const { return Cp932ToUtf8(host->Text(id)).value_or("?"); }
  void Click(int id) { QTest::mouseClick(host->Widget(id), Qt::LeftButton); }

  TempFolder folder;
  ScriptedUi ui;
  EditorUi editor = ui.ui();
  std::unique_ptr<MotionDocument> document;
  std::unique_ptr<DialogHost> host;
};

TEST_F(DialogsGuiTest, TheLedDialog) {
  CLedDlg logic(*document, editor, [] {});
  Open(logic);
  EXPECT_EQ(host->windowTitle(), QString("LED詳細設定"));
  ExpectControls<SwatchButton>({1057, 1058, 1059});
  ExpectControls<QCheckBox>({1062, 1063});
  ExpectControls<QRadioButton>({1067, 1068, 1069});
  ExpectControls<QComboBox>({1065});
  ExpectControls<QPushButton>({1066, 2});
  ExpectEveryTextFitsAndNothingOverlaps(*host);

  EXPECT_TRUE(host->IsChecked(1069)) << "patterns 3 and 5 show the right eye's";
  EXPECT_EQ(host->SelectedListItem(1065), 5);
  EXPECT_TRUE(host->IsEnabled(1066));
  EXPECT_FALSE(host->IsChecked(1062));
  EXPECT_EQ(Text(1066), "既存プログラムの一括変更");

  // Each swatch shows its LED: the mouth in its red.
  const QImage mouth = host->Widget(1059)->grab().toImage();
  EXPECT_EQ(mouth.pixelColor(mouth.rect().center()), QColor(200, 0, 0));

  // A pick in the list reaches the pose.
  auto* list = qobject_cast<QComboBox*>(host->Widget(1065));
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(document->current().rightEye, 6u << 16);
  EXPECT_EQ(document->current().leftEye, 3u << 16);
  Click(2);
  EXPECT_FALSE(host->isVisible());
}

TEST_F(DialogsGuiTest, TheStartAndEndProcessingDialog) {
  document->motion.startSound = SystemText("voice\\303.wav");
  document->motion.endTorqueOff = 1;
  CSoundDlg logic(*document, ui, ui);
  Open(logic);
  EXPECT_EQ(host->windowTitle(), QString("開始/終了処理設定"));
  ExpectControls<QRadioButton>({1058, 1059});
  ExpectControls<QLineEdit>({1060, 1046});
  ExpectControls<UpDown>({1048});
  ExpectControls<QCheckBox>({1063});
  ExpectControls<QPushButton>({3, 1, 2});
  ExpectEveryTextFitsAndNothingOverlaps(*host);

  EXPECT_TRUE(host->IsChecked(1058));
  EXPECT_EQ(Text(1060), "voice\\303.wav");
  EXPECT_EQ(Text(1046), "100");
  EXPECT_EQ(dynamic_cast<UpDown*>(host->Widget(1048))->upper(), 3000);
  EXPECT_FALSE(host->IsChecked(1063));

  Click(1059);
  EXPECT_EQ(Text(1063), "サーボトルクOFF");
  EXPECT_TRUE(host->IsChecked(1063));
  // The longer text fits too.
  auto* torque = qobject_cast<QCheckBox*>(host->Widget(1063));
  EXPECT_LE(torque->sizeHint().width(), torque->width());
  Click(1);
  EXPECT_FALSE(host->isVisible());
  EXPECT_EQ(host->result(), kIdOk);
}

TEST_F(DialogsGuiTest, TheParameterDialog) {
  CParamDlg logic(*document, editor);
  Open(logic);
  EXPECT_EQ(host->windowTitle(), QString("設定ダイアログ"));
  ExpectControls<QRadioButton>({1073, 1074});
  ExpectControls<QCheckBox>({1064, 1065, 1057, 1062});
  ExpectControls<QLineEdit>({1069, 1071});
  ExpectControls<QPushButton>({14, 1, 2});
  ExpectEveryTextFitsAndNothingOverlaps(*host);

  EXPECT_EQ(Text(1062), "サーボ低速　再生時間");
  EXPECT_TRUE(host->IsChecked(1073));
  EXPECT_FALSE(host->IsEnabled(1071));
  EXPECT_TRUE(host->IsChecked(1057));
  EXPECT_EQ(Text(1069), "5");
  EXPECT_EQ(Text(1071), "80");
  Click(1074);
  EXPECT_TRUE(host->IsEnabled(1071));
  QTest::keyClick(host.get(), Qt::Key_Escape);
  EXPECT_FALSE(host->isVisible());
  EXPECT_EQ(document->kazoModel, 1) << "Esc cancels";
}

}  // namespace
}  // namespace kz::testing
