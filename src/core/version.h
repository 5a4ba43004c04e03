#pragma once

// The version both programs report (`--version`, the About window). The build number comes from
// the build (AMBREL_BUILD_NUMBER) and is given beside it.

#include <string>
#include <string_view>

namespace ambrel {

inline constexpr const char* kShortVersion = "0.1";

// "<program> 0.1 (<build>)", the form the About window shows after the name.
inline std::string versionLine(std::string_view program, std::string_view build) {
    return std::string(program) + " " + kShortVersion + " (" + std::string(build) + ")";
}

}  // namespace ambrel
