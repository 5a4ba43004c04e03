#pragma once

// The arguments of `ambrel`: `--help` and `--version` print and end the program before it needs
// a display or touches the keyring; Qt's own options (-platform, -style, -session and the like,
// which session managers and users pass) are left to Qt; anything else is a usage error.

#include <iosfwd>
#include <optional>
#include <span>
#include <string_view>

namespace ambrel {

inline constexpr int kExitUsage = 2;

// None when the program should go on; otherwise the exit status, after the text went to `out`
// (help, version) or `err` (a usage error). `versionLine`: what --version prints.
std::optional<int> handleCommandLine(std::span<const std::string_view> args,
                                     std::string_view versionLine, std::ostream& out,
                                     std::ostream& err);

}  // namespace ambrel
