#include "widget/host/show_command.h"

#include <QApplication>
#include <QDBusConnection>
#include <algorithm>
#include <ostream>

#include "core/platform/defaults.h"
#include "widget/commands.h"
#include "widget/host/desktop_host.h"
#include "widget/host/widget_program.h"
#include "widget/system_services.h"

namespace ambrel::widget {

std::expected<std::vector<WidgetFamily>, std::string> parseShowFamilies(
    std::span<const std::string_view> args) {
    if (args.empty())
        return std::vector<WidgetFamily>(std::begin(kSupportedFamilies),
                                         std::end(kSupportedFamilies));
    std::vector<WidgetFamily> families;
    bool afterFlag = false;
    for (const std::string_view arg : args) {
        if (arg == "--family") {
            afterFlag = true;
            continue;
        }
        if (!afterFlag) return std::unexpected("unknown argument \"" + std::string(arg) + "\"");
        const auto family = familyFromName(arg);
        if (!family) {
            return std::unexpected("--family takes small, medium or large, not \"" +
                                   std::string(arg) + "\"");
        }
        if (std::find(families.begin(), families.end(), *family) == families.end()) {
            families.push_back(*family);
        }
    }
    if (families.empty()) return std::unexpected("--family needs at least one family");
    return families;
}

int runShowCommand(int& argc, char** argv, std::span<const std::string_view> args,
                   const std::string& program, std::ostream& err) {
    auto families = parseShowFamilies(args);
    if (!families) {
        err << "ambrel-widget show: " << families.error() << '\n';
        return printUsage(err);
    }
    QApplication app(argc, argv);
    // The windows have no close button; the host ends with the session, not with a window.
    QApplication::setQuitOnLastWindowClosed(false);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && !bus.registerService(QString::fromLatin1(kHostBusName))) {
        err << "ambrel-widget: the widgets are already on the desktop\n";
        return 1;
    }

    const WidgetProgram entries(program);
    Defaults defaults = Defaults::forBundle(kWidgetBundleId);
    DesktopHost host([&entries] { return entries.snapshot(); },
                     [&entries] { return entries.timeline(); }, *families, defaults, err);
    host.start();
    return QApplication::exec();
}

}  // namespace ambrel::widget
