#include "widget/host/show_command.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>

#include "core/platform/defaults.h"
#include "widget/commands.h"
#include "widget/host/desktop_host.h"
#include "widget/host/gnome_shell_extension.h"
#include "widget/host/objective_notifier.h"
#include "widget/host/widget_program.h"
#include "widget/panel/application_launcher.h"
#include "widget/panel/panel_indicator.h"
#include "widget/system_services.h"

namespace ambrel::widget {
namespace {

// "Notify when objectives are reached" in the indicator's menu.
panel::MenuSwitch notifierSwitch(ObjectiveNotifier& notifier, std::ostream& err) {
    return {.isOn = [&notifier] { return notifier.isEnabled(); },
            .set =
                [&notifier, &err](bool on) {
                    if (!notifier.setEnabled(on)) {
                        err << "ambrel-widget: cannot keep the notification setting in the "
                               "widget's cache folder\n"
                            << std::flush;
                    }
                }};
}

}  // namespace

std::expected<ShowOptions, std::string> parseShowOptions(std::span<const std::string_view> args) {
    ShowOptions options;
    bool afterFlag = false;
    bool familyFlag = false;
    for (const std::string_view arg : args) {
        if (arg == "--indicator") {
            options.indicator = true;
            afterFlag = false;
            continue;
        }
        if (arg == "--family") {
            afterFlag = familyFlag = true;
            continue;
        }
        if (!afterFlag) return std::unexpected("unknown argument \"" + std::string(arg) + "\"");
        const auto family = familyFromName(arg);
        if (!family) {
            return std::unexpected("--family takes small, medium or large, not \"" +
                                   std::string(arg) + "\"");
        }
        if (std::find(options.families.begin(), options.families.end(), *family) ==
            options.families.end()) {
            options.families.push_back(*family);
        }
    }
    if (familyFlag && options.families.empty())
        return std::unexpected("--family needs at least one family");
    if (!familyFlag)
        options.families.assign(std::begin(kSupportedFamilies), std::end(kSupportedFamilies));
    return options;
}

QStringList showArguments(const ShowOptions& options) {
    if (options.families.empty()) return {QStringLiteral("indicator")};
    QStringList arguments{QStringLiteral("show")};
    if (options.indicator) arguments << QStringLiteral("--indicator");
    for (WidgetFamily family : options.families)
        arguments << QStringLiteral("--family") << familyName(family);
    return arguments;
}

int runShowCommand(int& argc, char** argv, const ShowOptions& requested, const std::string& program,
                   std::ostream& err) {
    // The faces need a window system; the indicator alone only the session bus and images.
    std::unique_ptr<QCoreApplication> app;
    if (requested.families.empty()) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        app = std::make_unique<QApplication>(argc, argv);
        // The windows have no close button; the host ends with the session, not with a window.
        QApplication::setQuitOnLastWindowClosed(false);
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && !bus.registerService(QString::fromLatin1(kHostBusName))) {
        err << "ambrel-widget: already running in this session (widgets or panel indicator)\n";
        return 1;
    }

    // Under GNOME Shell with the extension, the faces are the shell's; the host still keeps
    // the timeline, the notifications and the indicator going.
    ShowOptions options = requested;
    std::string ordinaryWindowsAdvice;
    if (!options.families.empty()) {
        const GnomeShellExtension extension = gnomeShellExtension(bus);
        if (extension == GnomeShellExtension::enabled) {
            err << "ambrel-widget: the widgets are on the desktop through the GNOME Shell "
                   "extension "
                << kGnomeShellExtensionUuid << "; no windows are opened\n"
                << std::flush;
            options.families.clear();
        } else if (extension == GnomeShellExtension::notEnabled) {
            ordinaryWindowsAdvice = enableExtensionAdvice();
        }
    }

    const WidgetProgram entries(program);
    Defaults defaults = Defaults::forBundle(kWidgetBundleId);
    DesktopHost host([&entries] { return entries.snapshot(); },
                     [&entries] { return entries.timeline(); }, options.families, defaults, err,
                     ordinaryWindowsAdvice);

    // A click on a face opens Ambrel as the indicator's "Open Ambrel" does; a host of faces
    // alone ends with its last face.
    panel::ApplicationLauncher launcher(
        bus, QFileInfo(QString::fromStdString(program)).absolutePath(), err);
    QObject::connect(&host, &DesktopHost::openRequested, &launcher,
                     &panel::ApplicationLauncher::open);
    QObject::connect(&host, &DesktopHost::quitRequested, app.get(), &QCoreApplication::quit);
    if (!options.indicator)
        QObject::connect(&host, &DesktopHost::everyFaceHidden, app.get(), &QCoreApplication::quit);

    ObjectiveNotifier notifier(bus, defaults, err);
    QObject::connect(&host, &DesktopHost::refreshedEntryShown, &notifier,
                     &ObjectiveNotifier::announce);

    std::optional<panel::PanelIndicator> indicator;
    if (options.indicator) {
        const QString programPath = QString::fromStdString(program);
        indicator.emplace(
            bus,
            panel::IndicatorSetup{
                .autostartCommand = QStringList{programPath} + showArguments(requested),
                .applicationFolder = QFileInfo(programPath).absolutePath(),
                .objectiveNotices = notifierSwitch(notifier, err)},
            err);
        QObject::connect(&host, &DesktopHost::entryShown, &*indicator,
                         &panel::PanelIndicator::setEntry);
        QObject::connect(&*indicator, &panel::PanelIndicator::refreshRequested, &host,
                         &DesktopHost::refreshNow);
        QObject::connect(&*indicator, &panel::PanelIndicator::quitRequested, app.get(),
                         &QCoreApplication::quit);
        if (!indicator->start()) return 1;
    }
    host.start();
    return QCoreApplication::exec();
}

}  // namespace ambrel::widget
