// ambrel-widget-host: the part of ambrel-widget that draws. `ambrel-widget` starts it for the
// desktop widgets (no arguments, or `show`), the panel indicator (`indicator`, `show
// --indicator`) and `render`; it gets its entries from that headless program in turn
// (host/widget_program.h).

#include <clocale>
#include <iostream>
#include <span>
#include <string_view>
#include <vector>

#include "core/platform/localization.h"
#include "widget/commands.h"
#include "widget/host/show_command.h"
#include "widget/host/widget_program.h"
#include "widget/render_command.h"

namespace {

int runShow(int& argc, char** argv, std::span<const std::string_view> args,
            const std::string& program) {
    auto options = ambrel::widget::parseShowOptions(args);
    if (!options) {
        std::cerr << "ambrel-widget show: " << options.error() << '\n';
        return ambrel::widget::printUsage(std::cerr);
    }
    return ambrel::widget::runShowCommand(argc, argv, *options, program, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    ambrel::initLocalizationBesideProgram();

    using namespace ambrel::widget;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const std::string program = WidgetProgram::besideThisExecutable(AMBREL_WIDGET_PROGRAM).path();
    if (args.empty()) return runShow(argc, argv, {}, program);

    const auto rest = std::span<const std::string_view>(args).subspan(1);
    if (args[0] == "show") return runShow(argc, argv, rest, program);
    if (args[0] == "indicator" && rest.empty())
        return runShowCommand(argc, argv, {.families = {}, .indicator = true}, program, std::cerr);
    if (args[0] == "render")
        return runRenderCommand(argc, argv, rest, program, std::cout, std::cerr);
    return printUsage(std::cerr);
}
