#pragma once

// Turns the AdSense API into one snapshot: access token, account (and its time zone), one daily
// report over the account's last 35 days, the slow data (cached for 6 hours) and the stores.

#include "core/earnings/snapshot.h"
#include "core/error.h"
#include "core/services.h"

namespace ambrel {

class AccessTokenKeeper;

inline constexpr double kSlowDataMaxAgeSeconds = 21600;

// Blocks. The connection of the first AdSense request opens while the access token is fetched;
// the daily report and, when the slow data is stale, its two requests then go together. What is
// stored, and which error is reported, is as if the requests had gone one after another.
// `tokens` keeps the access token between refreshes (the application); without it every
// refresh fetches one (the widget). A token that the API refuses (401) is dropped; when it was
// a kept one, the refresh is made once more with a fresh one. A cached account that the API
// refuses as not the caller's (404, or a 403 without a reason of the project's) is forgotten, so
// the next refresh lists the accounts and chooses again; this one fails with the refusal.
Result<AmbrelSnapshot> refreshSnapshot(const Services& services,
                                       AccessTokenKeeper* tokens = nullptr);

}  // namespace ambrel
