#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "core/platform/locale.h"

namespace ambrel {

void installQtTranslations(QCoreApplication& app) {
    // The display locale, which follows $LANGUAGE as gettext does, rather than Qt's system
    // locale, which does not: both halves of a dialog then speak the same language.
    const QLocale locale(QString::fromStdString(displayLocale()));
    auto* translator = new QTranslator(&app);
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

}  // namespace ambrel
