#pragma once

// Report days follow the account's calendar, not the desktop's: when the two differ, the
// dashboard and the large face say once whose midnight ends "today".

#include <optional>
#include <string>

namespace ambrel {

// "Days end at midnight, Asia/Tokyo" when `accountZone` is a zone other than the desktop's (TZ,
// else the system's zone); none when they are the same zone or the account's is unknown.
std::optional<std::string> accountDayText(const std::optional<std::string>& accountZone);

}  // namespace ambrel
