#pragma once

// The Retry-After header (RFC 9110 10.2.3): a number of seconds, or an HTTP date.

#include <chrono>
#include <optional>
#include <string_view>

namespace ambrel {

// The wait the header asks for at `now`: its seconds, or the time left until its date (none
// left: 0). None when the value is neither. Waits are capped at a year, which no server means.
std::optional<std::chrono::seconds> parseRetryAfter(std::string_view value,
                                                    std::chrono::system_clock::time_point now);

}  // namespace ambrel
