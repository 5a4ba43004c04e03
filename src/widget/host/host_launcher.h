#pragma once

// The desktop host and the render command live in a program of their own, beside
// `ambrel-widget`: loading Qt's GUI libraries costs every run about 10 MB, which the headless
// commands (the periodic `timeline --json` above all) should not pay. `ambrel-widget show` and
// `ambrel-widget render` replace the process with that program, arguments unchanged.

#include <iosfwd>
#include <string_view>

namespace ambrel::widget {

// Returns only when the program cannot be started (the reason goes to `err`), with status 1.
int execDesktopHost(std::string_view hostName, char** argv, std::ostream& err);

}  // namespace ambrel::widget
