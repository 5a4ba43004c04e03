// ambrel-widget: picks one command from the arguments and runs it with the real services.

#include <unicode/simpletz.h>

#include <algorithm>
#include <clocale>
#include <iostream>
#include <span>
#include <string_view>
#include <vector>

#include "core/platform/localization.h"
#include "core/version.h"
#include "widget/api_base.h"
#include "widget/commands.h"
#include "widget/host/host_launcher.h"
#include "widget/status_command.h"
#include "widget/system_services.h"
#include "widget/unused_tls_setup.h"

namespace {

using ambrel::Services;
using CommandFunction = int (*)(const Services&, std::ostream&, std::ostream&);

struct Command {
    std::string_view name;
    std::string_view flag;
    CommandFunction run;
};

constexpr Command kCommands[] = {
    {"timeline", "--json", ambrel::widget::runTimelineJson},
    {"snapshot", "--json", ambrel::widget::runSnapshotJson},
    {"placeholder", "--json", ambrel::widget::runPlaceholderJson},
};

// The commands that draw or stay on the desktop, run by the host program.
constexpr std::string_view kHostCommands[] = {"show", "render", "indicator"};

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    ambrel::initLocalizationBesideProgram();
    // Every time this program writes names its own zone (the payment's day in UTC, the refresh
    // time at the C library's offset), so ICU's default zone is never read; left to itself,
    // ICU would find the host's zone in its whole zone table, a third of a megabyte for nothing.
    icu::TimeZone::adoptDefault(new icu::SimpleTimeZone(0, u"UTC"));
    using namespace ambrel::widget;

    const std::vector<std::string_view> args(argv + 1, argv + argc);
    // The widget's periodic refresh, run every half hour, and whose memory counts.
    if (args.size() == 2 && args[0] == "timeline") restartWithoutUnusedTlsSetUp(argv);
    for (const Command& command : kCommands) {
        if (args.size() == 2 && args[0] == command.name && args[1] == command.flag) {
            SystemServices system(ambrel::adsenseApiBase(), ambrel::trustedCaFile());
            return command.run(system.services(), std::cout, std::cerr);
        }
    }
    if (!args.empty() && args[0] == "status") {
        // The arguments are checked before any store is opened.
        const auto options = parseStatusOptions(std::span(args).subspan(1));
        if (!options) {
            std::cerr << "ambrel-widget status: " << options.error() << '\n';
            return printUsage(std::cerr);
        }
        SystemServices system(ambrel::adsenseApiBase(), ambrel::trustedCaFile());
        return runStatusCommand(system.services(), *options, std::cout, std::cerr);
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        printUsage(std::cout);
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << ambrel::versionLine("ambrel-widget", AMBREL_BUILD_NUMBER) << '\n';
        return 0;
    }
    // Without arguments the program hosts the desktop widgets.
    if (args.empty() || std::ranges::find(kHostCommands, args[0]) != std::end(kHostCommands)) {
        return execDesktopHost(AMBREL_WIDGET_HOST, argv, std::cerr);
    }
    std::cerr << "ambrel-widget: "
              << ambrel::fillPlaceholders(ambrel::tr("unknown command \"%@\""), {args[0]}) << '\n';
    return printUsage(std::cerr);
}
