// ambrel-widget: picks one command from the arguments and runs it with the real services.

#include <clocale>
#include <iostream>
#include <string_view>
#include <vector>

#include "core/platform/localization.h"
#include "widget/api_base.h"
#include "widget/commands.h"
#include "widget/host/host_launcher.h"
#include "widget/system_services.h"

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

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    ambrel::initLocalization();

    const std::vector<std::string_view> args(argv + 1, argv + argc);
    for (const Command& command : kCommands) {
        if (args.size() == 2 && args[0] == command.name && args[1] == command.flag) {
            ambrel::widget::SystemServices system(ambrel::adsenseApiBase(),
                                                  ambrel::trustedCaFile());
            return command.run(system.services(), std::cout, std::cerr);
        }
    }
    // Without arguments the program hosts the desktop widgets.
    if (args.empty() || args[0] == "show" || args[0] == "render") {
        return ambrel::widget::execDesktopHost(AMBREL_WIDGET_HOST, argv, std::cerr);
    }
    return ambrel::widget::printUsage(std::cerr);
}
