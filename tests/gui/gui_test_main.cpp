// The GUI tests run headless: one application on the offscreen platform,
// laid out in the editor's own style and font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

#include "gui/dialog_font.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QApplication::setFont(kz::DialogFont());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
