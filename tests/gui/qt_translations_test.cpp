// Qt's own texts in the editor's language: the message boxes' buttons, once
// Qt's translations are loaded as the editor loads them.
#include "gui/qt_translations.h"

#include <gmock/gmock.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include "gui/qt_prompts.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

// Shows message 116 as the editor does and returns its buttons' texts,
// answering No.
std::vector<std::string> ButtonTextsOfMessage116() {
  std::vector<std::string> texts;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      if (!box || !box->isVisible()) continue;
      for (QAbstractButton* button : box->buttons()) texts.push_back(button->text().toStdString());
      box->button(QMessageBox::No)->click();
      poll.stop();
    }
  });
  poll.start(10);
  QtPrompts prompts;
  EXPECT_EQ(prompts.ShowMessage(kMsgSaveChanges, BoxKind::kYesNoCancelQuestion), Button::kNo);
  return texts;
}

TEST(QtTranslationsTest, MessageBoxButtonsReadJapaneseOnceLoaded) {
  EXPECT_THAT(ButtonTextsOfMessage116(), Contains(HasSubstr("Yes"))) << "Qt's own English";

  QTranslator translator;
  ASSERT_TRUE(InstallQtTranslations(translator))
      << "Qt's translations are missing: scripts/setup.sh installs qt6-translations-l10n";
  const std::vector<std::string> texts = ButtonTextsOfMessage116();
  QCoreApplication::removeTranslator(&translator);
  EXPECT_THAT(texts, Contains(HasSubstr("はい")));
  EXPECT_THAT(texts, Contains(HasSubstr("いいえ")));
  EXPECT_THAT(texts, Contains(HasSubstr("キャンセル")));
  EXPECT_THAT(texts, Not(Contains(HasSubstr("Yes"))));
}

}  // namespace
}  // namespace kz::testing
