#pragma once

// The hours and minutes of an instant as a person reads them on this desktop.

#include <string>

#include "core/platform/clock.h"

namespace ambrel {

// Hours and minutes of `at` in the local time zone, in the short time style of the time locale
// (timeLocale()) without any seconds, written as the desktop's Qt programs write it: "14:05",
// "2:05 PM" with a plain space before the day period and the period in capitals. The C locale
// gives "14:05".
std::string shortLocalTime(Instant at);

}  // namespace ambrel
