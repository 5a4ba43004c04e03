#pragma once

// How fresh the figures are, as every surface says it: "Updated at 14:05" today, "Updated
// yesterday at 23:50", "Updated 3 Dec at 09:12" before that, and the age of figures that are
// old enough to be drawn dimmed. Times are in the user's time locale and the desktop's time
// zone, not the account's: the account's calendar decides the report days, not the clock.

#include <chrono>
#include <string>

#include "core/platform/clock.h"

namespace ambrel {

// The widget and the application both refresh every 30 minutes; figures that missed two of
// those refreshes are stale.
inline constexpr std::chrono::seconds kRefreshInterval{1800};
inline constexpr std::chrono::seconds kStaleAfter = 2 * kRefreshInterval;

// The day named relative to `now`'s local calendar day; hours and minutes as shortLocalTime.
std::string updatedAtText(Instant updatedAt, Instant now);

// Older than kStaleAfter. An updatedAt in the future (a clock set back) is not stale.
bool isStale(Instant updatedAt, Instant now);

// "3 hours ago", "2 days ago", in the display locale's words (ICU); whole minutes at least.
std::string ageText(Instant updatedAt, Instant now);

}  // namespace ambrel
