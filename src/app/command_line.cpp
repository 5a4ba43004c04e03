#include "app/command_line.h"

#include <algorithm>
#include <ostream>
#include <string>

#include "core/platform/localization.h"

namespace ambrel {
namespace {

constexpr const char* kSynopsis = "usage: ambrel [--help | --version]\n";

std::string usage() {
    return kSynopsis +
           tr("Shows your AdSense earnings. When Ambrel already runs, a second start brings its "
              "window to\n"
              "the front instead of opening another.\n"
              "The desktop widgets, the panel indicator and the status line come from "
              "ambrel-widget\n"
              "(ambrel-widget --help).\n"
              "Files, environment and exit statuses: man ambrel\n");
}

// Qt's options (QGuiApplication, QApplication, the X11 platform) that take a value, and those
// that do not; each may start with one dash or two.
constexpr std::string_view kQtOptionsWithValue[] = {"platform",
                                                    "platformpluginpath",
                                                    "platformtheme",
                                                    "plugin",
                                                    "qwindowgeometry",
                                                    "qwindowicon",
                                                    "qwindowtitle",
                                                    "session",
                                                    "display",
                                                    "geometry",
                                                    "name",
                                                    "title",
                                                    "visual",
                                                    "style",
                                                    "stylesheet",
                                                    "qmljsdebugger"};
constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

std::string_view optionName(std::string_view arg) {
    if (arg.starts_with("--")) return arg.substr(2);
    if (arg.starts_with("-")) return arg.substr(1);
    return {};
}

}  // namespace

std::optional<int> handleCommandLine(std::span<const std::string_view> args,
                                     std::string_view versionLine, std::ostream& out,
                                     std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out << usage();
            return 0;
        }
        if (arg == "--version") {
            out << versionLine << '\n';
            return 0;
        }
        std::string_view name = optionName(arg);
        name = name.substr(0, name.find('='));
        if (std::ranges::find(kQtFlags, name) != std::end(kQtFlags)) continue;
        if (std::ranges::find(kQtOptionsWithValue, name) != std::end(kQtOptionsWithValue)) {
            if (arg.find('=') == std::string_view::npos) ++i;  // the value is the next argument
            continue;
        }
        err << "ambrel: " << fillPlaceholders(tr("unknown argument \"%@\""), {arg}) << '\n'
            << usage();
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace ambrel
