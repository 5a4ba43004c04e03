#pragma once

// `ambrel-widget`, `ambrel-widget show [--indicator] [--family F…]` and `ambrel-widget
// indicator`: keeps the widgets on the desktop, the panel indicator, or both, until the session
// ends. Without families `show` shows all three, the way a widget gallery offers them;
// `--family` takes one or more of small, medium and large and may be repeated. `indicator`
// shows the panel indicator alone, which needs no window system.

#include <QStringList>
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

struct ShowOptions {
    std::vector<WidgetFamily> families;  // each once, in the order given
    bool indicator = false;
};

// The arguments after "show".
std::expected<ShowOptions, std::string> parseShowOptions(std::span<const std::string_view> args);

// The arguments that start the host again as `options` asks ("indicator", or "show" with
// "--indicator" and each family).
QStringList showArguments(const ShowOptions& options);

// `program`: the headless program that provides the entries (see widget_program.h). Under
// GNOME Shell with its extension enabled (gnome_shell_extension.h) the host says so once and
// opens no windows.
int runShowCommand(int& argc, char** argv, const ShowOptions& requested, const std::string& program,
                   std::ostream& err);

}  // namespace ambrel::widget
