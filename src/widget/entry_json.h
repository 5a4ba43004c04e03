#pragma once

// The JSON form of what the provider hands out, for the headless commands and for anything that
// wants to read the widget's figures without drawing them. Date-times are seconds since
// 2001-01-01T00:00:00Z, like every stored date-time of the system; the snapshot and the
// objectives have exactly their stored JSON forms.

#include <string>

#include "core/error.h"
#include "core/platform/json.h"
#include "widget/earnings_provider.h"

namespace ambrel {

// {"date", "snapshot", "objectives", "isConnected", "needsSignIn", "isSample"}. Fails when a
// figure is not finite, which JSON cannot hold.
Result<json::Json> entryJson(const EarningsEntry& entry);

// The entry's members plus "reloadDate" and "refreshed".
Result<json::Json> timelineJson(const Timeline& timeline);

}  // namespace ambrel
