// ambrel-widget-host: the part of ambrel-widget that draws. `ambrel-widget` starts it for the
// desktop widgets (no arguments, or `show`) and for `render`; it gets its entries from that
// headless program in turn (host/widget_program.h).

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

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    ambrel::initLocalization();

    using namespace ambrel::widget;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const std::string program = WidgetProgram::besideThisExecutable(AMBREL_WIDGET_PROGRAM).path();
    if (args.empty()) return runShowCommand(argc, argv, {}, program, std::cerr);

    const auto rest = std::span<const std::string_view>(args).subspan(1);
    if (args[0] == "show") return runShowCommand(argc, argv, rest, program, std::cerr);
    if (args[0] == "render") return runRenderCommand(argc, argv, rest, program, std::cerr);
    return printUsage(std::cerr);
}
