// The editor window as the user meets it: built from its template, typed
// into, clicked and closed, headless.
#include "gui/editor_window.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "fakes/scripted_ui.h"
#include "fakes/temp_folder.h"
#include "gui/swatch_button.h"
#include "gui/tab_row.h"
#include "gui/up_down.h"
#include "platform/text_encoding.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class EditorWindowGuiTest : public ::testing::Test {
 protected:
  void Start(const std::string& ini = "") {
    folder.Write("KZMotion.ini", ini);
    logic = std::make_unique<CKZMotionDlg>(folder.Path("KZMotion.ini"), ui, ui);
    logic->document()->setupOverride = KZ_SOURCE_DIR "/samples/STARTUP.XML";
    window = std::make_unique<EditorWindow>(*logic, ui);
    window->Initialise();
    window->show();
  }

  // Starts and adds the origin pose, then `added` more poses.
  void StartWithPoses(int added) {
    Start();
    ui.answers.push_back(Button::kYes);
    Click(ctl::kOriginPose);
    for (int i = 0; i < added; ++i) Click(ctl::kAddPose);
    ui.shown.clear();
  }

  template <typename Widget>
  Widget& Get(int id) {
    auto* widget = dynamic_cast<Widget*>(window->Widget(id));
    if (!widget) throw std::runtime_error("no such control " + std::to_string(id));
    return *widget;
  }
  void Click(int id) { QTest::mouseClick(window->Widget(id), Qt::LeftButton); }
  QLineEdit& Field(int id) { return Get<QLineEdit>(id); }
  MotionDocument* document() { return logic->document(); }

  TempFolder folder;
  ScriptedUi ui;
  std::unique_ptr<CKZMotionDlg> logic;
  std::unique_ptr<EditorWindow> window;
};

TEST_F(EditorWindowGuiTest, TheTemplateBuildsEveryControlInItsInitialState) {
  Start();
  EXPECT_EQ(window->windowTitle(), QString("カゾモーションエディター"));
  const std::vector<int> off = {5, 8, 1061, 10, 11, 13, 15, 14, 1049, 1050, 18, 19, 20, 21};
  const std::vector<int> buttons = {2,  4,  5,  7,  8,  16, 12, 9,  10, 11,
                                    13, 17, 15, 14, 22, 6,  18, 19, 20, 21};
  const std::vector<int> boxes = {1054, 1064, 1063, 1061, 1068, 1056};
  std::vector<int> fields = {1052, 1044, 1046, 1049};
  std::vector<int> spins = {1053, 1045, 1048, 1050};
  for (int k = 0; k < ctl::kServoCount; ++k) {
    fields.push_back(ctl::ServoField(k));
    spins.push_back(ctl::ServoSpin(k));
  }
  const auto isOff = [&](int id) { return std::count(off.begin(), off.end(), id) > 0; };
  for (int id : buttons) EXPECT_NO_THROW(Get<QPushButton>(id)) << id;
  for (int id : boxes) EXPECT_NO_THROW(Get<QCheckBox>(id)) << id;
  for (int id : fields) EXPECT_NO_THROW(Get<QLineEdit>(id)) << id;
  for (int id : spins) EXPECT_NO_THROW(Get<UpDown>(id)) << id;
  EXPECT_NO_THROW(Get<TabRow>(ctl::kPoseTabs));
  EXPECT_NO_THROW(Get<SwatchButton>(ctl::kEyeSwatch));
  for (const std::vector<int>& list : {buttons, boxes, fields, spins})
    for (int id : list) EXPECT_EQ(window->IsEnabled(id), !isOff(id)) << id;

  EXPECT_EQ(Cp932ToUtf8(window->Text(ctl::kOriginPose)), "原点ポーズ");
  EXPECT_EQ(Cp932ToUtf8(window->Text(ctl::kLoopCount)), "1");
  const struct {
    int spin, lower, upper;
  } ranges[] = {{1005, -1500, 1500}, {1043, -1500, 1500}, {1045, 20, 1000},
                {1048, 0, 3000},     {1053, 1, 10},       {1050, 0, 32767}};
  for (const auto& range : ranges) {
    EXPECT_EQ(Get<UpDown>(range.spin).lower(), range.lower) << range.spin;
    EXPECT_EQ(Get<UpDown>(range.spin).upper(), range.upper) << range.spin;
  }
}

// What a control paints, in window coordinates: a check box only as far as
// its box and text reach, a label only as far as its lines do.
QRect PaintedRect(QWidget& widget) {
  QRect rect = widget.geometry();
  if (auto* box = qobject_cast<QCheckBox*>(&widget)) rect.setWidth(box->sizeHint().width());
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    const QRect text = label->fontMetrics().boundingRect(QRect(0, 0, rect.width(), 100000),
                                                         Qt::TextWordWrap, label->text());
    rect.setSize(text.size());
  }
  return rect;
}

TEST_F(EditorWindowGuiTest, EveryTextFitsAndNothingOverlaps) {
  StartWithPoses(2);
  std::vector<QWidget*> painted;
  for (QWidget* widget : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QRect rect = widget->geometry();
    EXPECT_TRUE(window->rect().contains(rect)) << widget->metaObject()->className();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      EXPECT_LE(label->heightForWidth(rect.width()), rect.height()) << label->text().toStdString();
      painted.push_back(widget);
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      EXPECT_LE(box->sizeHint().width(), rect.width()) << box->text().toStdString();
      painted.push_back(widget);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
      if (!dynamic_cast<SwatchButton*>(button)) {
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 6, rect.width())
            << button->text().toStdString();
      }
      painted.push_back(widget);
    } else if (qobject_cast<QLineEdit*>(widget) || dynamic_cast<UpDown*>(widget)) {
      painted.push_back(widget);
    }
  }
  for (std::size_t i = 0; i < painted.size(); ++i)
    for (std::size_t j = i + 1; j < painted.size(); ++j)
      EXPECT_FALSE(PaintedRect(*painted[i]).intersects(PaintedRect(*painted[j])))
          << painted[i]->metaObject()->className() << " " << painted[j]->metaObject()->className()
          << " at " << painted[i]->x() << "," << painted[i]->y() << " and " << painted[j]->x()
          << "," << painted[j]->y();
}

TEST_F(EditorWindowGuiTest, TypingInAServoFieldMarksModifiedButTheStartTimeDoesNot) {
  StartWithPoses(0);
  Click(ctl::kStartSync);
  ASSERT_TRUE(Field(ctl::kStartTime).isEnabled());
  document()->modified = false;
  QTest::keyClicks(&Field(ctl::kStartTime), "5");
  EXPECT_FALSE(document()->modified);
  QTest::keyClicks(&Field(ctl::ServoField(7)), "5");
  EXPECT_TRUE(document()->modified);
}

TEST_F(EditorWindowGuiTest, ClosingAnUnmodifiedEditorAsksNothing) {
  Start();
  EXPECT_TRUE(window->close());
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(document(), nullptr) << "the document goes with the window";
}

TEST_F(EditorWindowGuiTest, TheCloseButtonTheCloseBoxAndCtrlQCloseThroughMessage116) {
  StartWithPoses(0);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClicks(&Field(ctl::ServoField(0)), "0");  // 30 becomes 300

  ui.answers = {Button::kCancel, Button::kCancel, Button::kCancel};
  EXPECT_FALSE(window->close());
  Click(ctl::kClose);
  QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSaveChanges, kMsgSaveChanges, kMsgSaveChanges));
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(Field(ctl::ServoField(0)).text(), "300");

  ui.answers = {Button::kNo};
  QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_THAT(ui.shownIds(), ::testing::SizeIs(4));
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(document(), nullptr);
}

TEST_F(EditorWindowGuiTest, EnterTakesTheTypedValueAndEscDoesNothing) {
  StartWithPoses(1);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QLineEdit& field = Field(ctl::ServoField(3));
  field.setFocus();
  field.setText(" 123");
  QTest::keyClick(&field, Qt::Key_Return);
  EXPECT_THAT(ui.shown, IsEmpty()) << "Enter closes nothing and asks nothing";
  ASSERT_NE(document(), nullptr);
  EXPECT_EQ(document()->current().servo[3], 123) << "Enter takes the value into the pose";
  EXPECT_EQ(field.text(), "123");
  EXPECT_EQ(field.selectedText(), "123");
  EXPECT_TRUE(document()->modified);

  QTest::keyClick(&field, Qt::Key_Escape);
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_TRUE(window->isVisible());
  EXPECT_NE(document(), nullptr);
}

TEST_F(EditorWindowGuiTest, EnterRefusesAValueThatIsNoNumberAndKeepsTheFocusOnIt) {
  StartWithPoses(1);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  const std::int16_t before = document()->current().servo[7];
  QLineEdit& field = Field(ctl::ServoField(7));
  QLineEdit& other = Field(ctl::kHoldTime);
  field.setText("12a");
  other.setFocus();
  QTest::keyClick(&other, Qt::Key_Return);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgValueOutOfRange));
  EXPECT_EQ(Cp932ToUtf8(ui.shown[0].args[0]), "ID9(ヒザ)");
  EXPECT_EQ(QApplication::focusWidget(), &field);
  EXPECT_EQ(field.selectedText(), "12a") << "ready to be typed over";
  EXPECT_EQ(document()->current().servo[7], before);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(EditorWindowGuiTest, ModelTwoStartsWithoutLogReadingAndStartSynchronisation) {
  Start("[GENERAL]\nKAZO_MODEL=2\n");
  EXPECT_FALSE(window->IsEnabled(ctl::kReadLogs));
  EXPECT_FALSE(window->IsEnabled(ctl::kStartSync));
}

TEST_F(EditorWindowGuiTest, PoseButtonsAndTabsWork) {
  StartWithPoses(2);
  QTabBar& tabs = Get<TabRow>(ctl::kPoseTabs).bar();
  ASSERT_EQ(tabs.count(), 3);
  EXPECT_EQ(tabs.tabText(2), "ポーズ3");
  EXPECT_EQ(tabs.currentIndex(), 2);

  Field(ctl::ServoField(2)).setText("999");
  QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(0).center());
  EXPECT_EQ(document()->currentPose, 0);
  EXPECT_EQ(document()->motion.poses[2].servo[2], 999) << "the pose left keeps its edit";
  EXPECT_FALSE(window->IsEnabled(ctl::kSwapPose)) << "the first pose has nothing to swap with";

  Click(ctl::kDeletePose);
  EXPECT_EQ(tabs.count(), 2);
}

TEST_F(EditorWindowGuiTest, ATabChangeWithTravelTime19ShowsMessage135AndStays) {
  StartWithPoses(1);
  QTabBar& tabs = Get<TabRow>(ctl::kPoseTabs).bar();
  Field(ctl::kTravelTime).setText("19");
  QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(0).center());
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgTravelTimeTooShort));
  EXPECT_EQ(tabs.currentIndex(), 1);
  EXPECT_EQ(document()->currentPose, 1);
}

TEST_F(EditorWindowGuiTest, SpinsStepTheirFieldWithinTheRange) {
  StartWithPoses(0);
  QLineEdit& field = Field(ctl::ServoField(0));
  const auto arrows = Get<UpDown>(ctl::ServoSpin(0)).findChildren<QToolButton*>();
  ASSERT_EQ(arrows.size(), 2);
  document()->modified = false;
  QTest::mouseClick(arrows[0], Qt::LeftButton);
  EXPECT_EQ(field.text(), "31");
  EXPECT_TRUE(document()->modified);
  QTest::keyClick(&field, Qt::Key_Down);
  QTest::keyClick(&field, Qt::Key_Down);
  EXPECT_EQ(field.text(), "29");

  field.setText("-1500");
  QTest::mouseClick(arrows[1], Qt::LeftButton);
  EXPECT_EQ(field.text(), "-1500");
  QLineEdit& travel = Field(ctl::kTravelTime);
  travel.setText("20");
  QTest::keyClick(&travel, Qt::Key_Down);
  EXPECT_EQ(travel.text(), "20") << "the speed check keeps 20 as the least";
}

QColor CentreOf(QWidget& widget) {
  return widget.grab().toImage().pixelColor(widget.width() / 2, widget.height() / 2);
}

TEST_F(EditorWindowGuiTest, TheSwatchShowsTheLeftEyeOrGreyWithoutAPose) {
  Start("[POSE]\nLED_COLOR=#204060\n");
  EXPECT_EQ(CentreOf(Get<SwatchButton>(ctl::kEyeSwatch)), QColor(0xF0, 0xF0, 0xF0));
  ui.answers.push_back(Button::kYes);
  Click(ctl::kOriginPose);
  EXPECT_EQ(CentreOf(Get<SwatchButton>(ctl::kEyeSwatch)), QColor(0x20, 0x40, 0x60));
}

TEST_F(EditorWindowGuiTest, F1ShowsTheAboutBox) {
  Start();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  ui.modalCommands = {kIdOk};
  QTest::keyClick(window.get(), Qt::Key_F1);
  EXPECT_THAT(ui.modalTemplates, ElementsAre(100));
}

TEST_F(EditorWindowGuiTest, CtrlSSavesAndTheTitleFollowsTheFileAndItsEdits) {
  StartWithPoses(0);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  ui.fileAnswers = {FileDialogAnswer{SystemText(folder.Path("歩く.KZI")), false}};
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(folder.Read("歩く.KZI").substr(0, 4), "kazo");
  EXPECT_EQ(window->windowTitle(), "歩く.KZI - カゾモーションエディター");
  QTest::keyClicks(&Field(ctl::kHoldTime), "0");
  EXPECT_EQ(window->windowTitle(), "*歩く.KZI - カゾモーションエディター");

  // Ctrl+O settles the unsaved edit first, then opens.
  ui.answers = {Button::kNo};
  ui.fileAnswers = {FileDialogAnswer{SystemText(folder.Path("歩く.KZI")), false}};
  QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSaveChanges));
  EXPECT_EQ(Field(ctl::kHoldTime).text(), "60");
  EXPECT_EQ(window->windowTitle(), "歩く.KZI - カゾモーションエディター");
}

}  // namespace
}  // namespace kz::testing
