#pragma once

// `ambrel-widget` and `ambrel-widget show [--family F…]`: keeps the widgets on the desktop until
// the session ends. Without families all three are shown, the way a widget gallery offers them;
// `--family` takes one or more of small, medium and large and may be repeated.

#include <expected>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "widget/faces/widget_family.h"

namespace ambrel::widget {

// The session-bus name the running host holds, so a second start does not put a second set of
// windows on the desktop.
inline constexpr const char* kHostBusName = "com.corvane.ambrel.WidgetHost";

// The arguments after "show": each family once, in the order given.
std::expected<std::vector<WidgetFamily>, std::string> parseShowFamilies(
    std::span<const std::string_view> args);

// `program`: the headless program that provides the entries (see widget_program.h).
int runShowCommand(int& argc, char** argv, std::span<const std::string_view> args,
                   const std::string& program, std::ostream& err);

}  // namespace ambrel::widget
