#pragma once

// How long ago a recorded moment was, for the checks that hold something off for a while after
// it ("attempted less than a minute ago"). The record may come from a file anyone could have
// edited, or from before the clock was set back, so it is never trusted to lie in the past or
// near enough for the subtraction to fit.

#include <chrono>
#include <optional>

#include "core/platform/clock.h"

namespace ambrel {

// `now - then`, or none when `then` comes after `now` or so long before it that the difference
// does not fit the type. Either way the record says nothing about how recent anything is.
template <class Rep, class Period>
std::optional<std::chrono::duration<Rep, Period>> elapsedSince(
    std::chrono::duration<Rep, Period> then, std::chrono::duration<Rep, Period> now) {
    Rep difference{};
    if (then > now || __builtin_sub_overflow(now.count(), then.count(), &difference))
        return std::nullopt;
    return std::chrono::duration<Rep, Period>(difference);
}

inline std::optional<Instant::duration> elapsedSince(Instant then, Instant now) {
    return elapsedSince(then.time_since_epoch(), now.time_since_epoch());
}

}  // namespace ambrel
