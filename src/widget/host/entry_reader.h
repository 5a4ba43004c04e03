#pragma once

// Reads back the one JSON line that `ambrel-widget timeline|snapshot|placeholder --json` print,
// so the drawing program gets its entries from the headless one (see widget_program.h).

#include <optional>
#include <string_view>

#include "widget/earnings_provider.h"

namespace ambrel::widget {

// {"date", "snapshot", "objectives", "isConnected"}; none when anything is missing or malformed.
std::optional<EarningsEntry> readEntryJson(std::string_view line);

// The entry's members plus "reloadDate", and "refreshed" (false when absent).
std::optional<Timeline> readTimelineJson(std::string_view line);

}  // namespace ambrel::widget
