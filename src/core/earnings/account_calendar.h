#pragma once

// The calendar the reports count days in: the AdSense account's own time zone, which Google
// reports in the accounts list. The desktop's zone and ICU's default zone play no part, so the
// same account gives the same days, figures and requests on every machine.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/clock.h"

namespace ambrel {

// Google counts the days of an account that names no zone in this one.
inline constexpr std::string_view kDefaultAccountTimeZone = "America/Los_Angeles";

// `id` when ICU knows a zone by that name. The id comes from the network and ends up in files
// and on screen, so anything else (an empty text, a name from a newer zone table, bytes that are
// not a name) is no zone.
std::optional<std::string> knownTimeZone(std::string_view id);

// The zone whose days the account's reports count: its own when ICU knows it, else Google's
// default.
std::string accountTimeZone(const std::optional<std::string>& id);

// The calendar day that `now` falls on in `zone`; a zone ICU does not know counts as Google's
// default.
std::chrono::year_month_day accountToday(Instant now, std::string_view zone);

}  // namespace ambrel
