#pragma once

// Turns the AdSense API into one snapshot: access token, account, one daily report over the
// last 35 UTC days, the slow data (cached for 6 hours) and the stores.

#include "core/earnings/snapshot.h"
#include "core/error.h"
#include "core/services.h"

namespace ambrel {

inline constexpr double kSlowDataMaxAgeSeconds = 21600;

// Blocks; the requests are made one after another.
Result<AmbrelSnapshot> refreshSnapshot(const Services& services);

}  // namespace ambrel
