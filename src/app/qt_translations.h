#pragma once

// Qt's own texts (the file dialog's labels and buttons, the standard context menus) in the
// language the program's own texts use, from the Qt translations installed on the system
// (Debian's qt6-translations-l10n). Without them Qt's texts stay in English.

class QCoreApplication;

namespace ambrel {

void installQtTranslations(QCoreApplication& app);

}  // namespace ambrel
