#pragma once

class QTranslator;

namespace kz {

// Loads Qt's own Japanese texts (file dialogs, message-box buttons) into
// `translator` and installs it in the application, whatever the system's
// language: the editor speaks Japanese throughout. False when Qt's
// translations (Debian's qt6-translations-l10n) are not installed; Qt's
// English texts then remain.
bool InstallQtTranslations(QTranslator& translator);

}  // namespace kz
