#include "app/about_settings.h"

#include <QCoreApplication>

#include "app/localized.h"

namespace ambrel {

AboutViewSettings ambrelAboutSettings() {
    AboutViewSettings settings;
    const QString name = QCoreApplication::applicationName();
    settings.appName = name.isEmpty() ? QStringLiteral("App") : name;
    settings.description = localized("Your AdSense earnings, right on your desktop.");
    settings.website =
        AboutLink{QStringLiteral("ambrel.app"), QUrl(QStringLiteral("https://ambrel.app"))};
    settings.support = AboutLink{localized("Support development"),
                                 QUrl(QStringLiteral("https://ambrel.app/donate"))};
    settings.copyright = AboutCopyright{QStringLiteral("© 2026 Corvane"),
                                        QUrl(QStringLiteral("https://corvane.com"))};
    settings.aboutTabLabel = localized("About");
    settings.licensesTabLabel = QStringLiteral("Licenses");  // left in English on purpose
    settings.height = 460;
    return settings;
}

}  // namespace ambrel
