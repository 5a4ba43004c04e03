// The ambrel program: real services, the application, the event loop.

#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/ambrel_app.h"
#include "app/command_line.h"
#include "app/first_paint_report.h"
#include "app/qt_translations.h"
#include "app/single_instance.h"
#include "core/platform/clock.h"
#include "core/platform/curl_http_client.h"
#include "core/platform/defaults.h"
#include "core/platform/localization.h"
#include "core/platform/paths.h"
#include "core/platform/secret_store.h"
#include "core/services.h"
#include "core/version.h"
#include "ui/about_view.h"
#include "ui/fonts.h"
#include "ui/icons.h"
#include "widget/api_base.h"

namespace {

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Before the arguments: the help text is translated.
    std::setlocale(LC_ALL, "");
    ambrel::initLocalizationBesideProgram();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (const auto exit = ambrel::handleCommandLine(
            args, ambrel::versionLine("ambrel", AMBREL_BUILD_NUMBER), std::cout, std::cerr))
        return *exit;
    if (!hasDisplay()) {
        std::fprintf(stderr, "ambrel: no display found; set DISPLAY or WAYLAND_DISPLAY\n");
        return 1;
    }
    QApplication app(argc, argv);
    ambrel::installQtTranslations(app);
    // The design's text sizes are those of a 13 px desktop font; a user who set a larger one
    // reads larger figures.
    ambrel::setTextScale(ambrel::desktopTextScale());

    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("corvane.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Ambrel"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ambrel::kShortVersion));
#ifdef AMBREL_BUILD_NUMBER
    app.setProperty(ambrel::kBuildNumberProperty, QStringLiteral(AMBREL_BUILD_NUMBER));
#endif
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvane.ambrel"));

    // Before any store is opened: a second start only brings the running window to the front.
    ambrel::SingleInstance instance;
    if (const auto exit = ambrel::exitStatusFor(instance.claim(), std::cerr)) return *exit;

    ambrel::CurlHttpClient http;
    const auto secrets = ambrel::makeSystemSecretStore();
    ambrel::Defaults defaults = ambrel::Defaults::forBundle("com.corvane.ambrel");
    const ambrel::Services services{http,
                                    *secrets,
                                    defaults,
                                    ambrel::systemClock(),
                                    ambrel::adsenseApiBase(),
                                    ambrel::clientSecretLocations()};

    ambrel::AmbrelApp ambrelApp(services);
    QObject::connect(&instance, &ambrel::SingleInstance::activated,
                     [&ambrelApp] { ambrel::raiseWindow(ambrelApp.mainWindow()); });
    ambrel::reportFirstPaintIfRequested(ambrelApp.mainWindow());
    ambrelApp.mainWindow().show();
    // After the first frame: looking the icon up in the theme reads the theme's index files,
    // which the window does not need to appear.
    QTimer::singleShot(0, &app, [] {
        QApplication::setWindowIcon(
            QIcon::fromTheme(QStringLiteral("com.corvane.ambrel"), ambrel::productMark()));
    });
    const int status = QApplication::exec();
    // Closing the window ends the program at once, even while a sign-in still waits up to
    // five minutes for the browser on a worker thread: waiting for that worker (as the thread
    // pool's teardown would) or destroying the services under it are both wrong. Every file
    // the program writes is already complete, so nothing is lost by skipping the teardown.
    std::fflush(nullptr);
    std::_Exit(status);
}
