// kzmotion: the motion editor's window.
#include <QApplication>
#include <QStyleFactory>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

#include "app/kzmotion_dlg.h"
#include "app/startup_options.h"
#include "gui/app_icon.h"
#include "gui/dialog_font.h"
#include "gui/editor_window.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_prompts.h"
#include "gui/qt_translations.h"
#include "model/settings_location.h"

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// Qt aborts with a long report when there is no display; say it in a line.
bool HasDisplay() {
  return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = kz::ParseStartupOptions({argv + 1, argv + argc}, error);
  if (!options) {
    std::fprintf(stderr, "kzmotion: %s\n%s", error.c_str(), kz::kEditorUsage);
    return 2;
  }
  if (options->help) {
    std::fputs(kz::kEditorUsage, stdout);
    return 0;
  }
  if (!HasDisplay()) {
    std::fputs(
        "kzmotion: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)\n",
        stderr);
    return 1;
  }
  const auto settingsPath = kz::LocateSettingsFile(options->settingsPath);
  if (!settingsPath) {
    std::fputs("kzmotion: no place for the settings file KZMotion.ini was found\n", stderr);
    return 1;
  }
  if (!kz::IsUsableSettingsFile(*settingsPath)) {
    std::fprintf(stderr, "kzmotion: %s\n", kz::UnusableSettingsFileText(*settingsPath).c_str());
    return 1;
  }

  QApplication application(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QApplication::setFont(kz::DialogFont());
  QApplication::setWindowIcon(kz::AppIcon());
  QTranslator qtTexts;
  kz::InstallQtTranslations(qtTexts);  // without them Qt's own texts stay English

  kz::QtPrompts prompts;
  kz::QtDialogs dialogs;
  kz::CKZMotionDlg logic(*settingsPath, prompts, dialogs);
  if (options->setupPath) logic.document()->setupOverride = options->setupPath;
  if (options->motionPath) logic.OpenOnStart(*options->motionPath);
  kz::EditorWindow window(logic, dialogs);
  window.Run();
  return 0;
}
