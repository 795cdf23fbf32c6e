#pragma once

class QCoreApplication;

namespace Velmira {

// Installs the translations for the user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG): Qt's
// own (context menus, file dialogs, message box buttons) from Qt's translations folder and
// Velmira's own, built into the program. A language without a translation stays English.
void installTranslations(QCoreApplication &app);

} // namespace Velmira
