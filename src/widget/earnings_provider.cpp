#include "widget/earnings_provider.h"

#include <utility>

#include "core/auth/keychain.h"
#include "core/earnings/snapshot_refresh.h"
#include "widget/sample_snapshot.h"

namespace ambrel {

EarningsEntry EarningsProvider::placeholder() const {
    return {.date = services_.now(),
            .snapshot = sampleSnapshot(),
            .objectives = Objectives{},
            .isConnected = true,
            .isSample = true};
}

EarningsEntry EarningsProvider::snapshot() const {
    bool isSample = false;
    AmbrelSnapshot shown = cachedOrSample(isSample);
    Instant date = services_.now();
    Objectives objectives = Objectives::load(services_.secrets);
    return {.date = date,
            .snapshot = std::move(shown),
            .objectives = objectives,
            .isConnected = hasRefreshToken(),
            .isSample = isSample};
}

Timeline EarningsProvider::timeline() const {
    const bool connected = hasRefreshToken();
    bool isSample = false;
    AmbrelSnapshot shown = cachedOrSample(isSample);
    bool refreshed = false;

    // Signed out: the cache stays as it was, and no request leaves the machine.
    if (connected) {
        // Any failure (no client configuration, token refused, HTTP error, no network) keeps
        // the fallback; the next attempt is the next scheduled reload.
        if (auto fresh = refreshSnapshot(services_)) {
            shown = std::move(*fresh);
            refreshed = true;
            isSample = false;
        }
    }

    // Read after the refresh, so goals saved by the application meanwhile are already shown.
    Objectives objectives = Objectives::load(services_.secrets);
    EarningsEntry entry{.date = services_.now(),
                        .snapshot = std::move(shown),
                        .objectives = objectives,
                        .isConnected = connected,
                        .isSample = isSample};
    const Instant reloadDate = services_.now() + kTimelineReloadInterval;
    return {.entry = std::move(entry), .reloadDate = reloadDate, .refreshed = refreshed};
}

bool EarningsProvider::hasRefreshToken() const {
    // A store that cannot be read counts as signed out; the token itself is not kept.
    auto token = keychain::load(services_.secrets, refreshTokenItem());
    return token.has_value() && token->has_value();
}

AmbrelSnapshot EarningsProvider::cachedOrSample(bool& isSample) const {
    isSample = false;
    if (auto cached = AmbrelSnapshot::load(services_.defaults)) return std::move(*cached);
    isSample = true;
    return sampleSnapshot();
}

}  // namespace ambrel
