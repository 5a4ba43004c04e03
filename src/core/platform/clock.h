#pragma once

// Time is passed in, never read from a global, so tests can move it.

#include <chrono>
#include <functional>

namespace ambrel {

using Instant = std::chrono::system_clock::time_point;
using Clock = std::function<Instant()>;

Clock systemClock();

// Stored date-times are seconds (with fraction) since 2001-01-01T00:00:00Z.
double secondsSinceReferenceDate(Instant instant);
Instant instantFromReferenceSeconds(double seconds);

}  // namespace ambrel
