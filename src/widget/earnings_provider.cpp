#include "widget/earnings_provider.h"

#include <algorithm>
#include <utility>

#include "core/auth/keychain.h"
#include "core/earnings/snapshot_refresh.h"
#include "widget/ended_sign_in.h"
#include "widget/sample_snapshot.h"

namespace ambrel {
namespace {

// When to ask again after a refresh that ended with `error`.
std::chrono::seconds reloadDelay(const Error& error) {
    const auto* refusal = std::get_if<AdSenseError>(&error);
    if (refusal == nullptr || !refusal->retryAfter) return kTimelineReloadInterval;
    return std::clamp(*refusal->retryAfter, kTimelineReloadInterval, kLongestReloadDelay);
}

}  // namespace

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
    const auto token = storedTokenDigest();
    return {.date = date,
            .snapshot = std::move(shown),
            .objectives = objectives,
            .isConnected = token.has_value(),
            .needsSignIn = signInEnded(token),
            .isSample = isSample};
}

Timeline EarningsProvider::timeline() const {
    const auto token = storedTokenDigest();
    bool needsSignIn = signInEnded(token);
    bool isSample = false;
    AmbrelSnapshot shown = cachedOrSample(isSample);
    bool refreshed = false;
    std::chrono::seconds reloadAfter = kTimelineReloadInterval;

    // Signed out, or signed in with a token Google refused: the cache stays as it was, and no
    // request leaves the machine.
    if (token && !needsSignIn) {
        // Any failure (no client configuration, token refused, HTTP error, no network) keeps
        // the fallback; the next attempt is the next scheduled reload.
        auto fresh = refreshSnapshot(services_);
        if (fresh) {
            shown = std::move(*fresh);
            refreshed = true;
            isSample = false;
            forgetRefusedToken(services_.defaults);
        } else if (ambrel::signInEnded(fresh.error())) {
            // Only the token this refresh read: one the application stored meanwhile is new.
            if (storedTokenDigest() == token) rememberRefusedToken(services_.defaults, *token);
            needsSignIn = true;
        } else {
            reloadAfter = reloadDelay(fresh.error());
        }
    }

    // Read after the refresh, so goals saved by the application meanwhile are already shown.
    Objectives objectives = Objectives::load(services_.secrets);
    EarningsEntry entry{.date = services_.now(),
                        .snapshot = std::move(shown),
                        .objectives = objectives,
                        .isConnected = token.has_value(),
                        .needsSignIn = needsSignIn,
                        .isSample = isSample};
    const Instant reloadDate = services_.now() + reloadAfter;
    return {.entry = std::move(entry), .reloadDate = reloadDate, .refreshed = refreshed};
}

std::optional<std::string> EarningsProvider::storedTokenDigest() const {
    // A store that cannot be read counts as signed out; the token itself is not kept.
    auto token = keychain::load(services_.secrets, refreshTokenItem());
    if (!token || !*token) return std::nullopt;
    return refreshTokenDigest(**token);
}

bool EarningsProvider::signInEnded(const std::optional<std::string>& tokenDigest) const {
    return tokenDigest && isRefusedToken(services_.defaults, *tokenDigest);
}

AmbrelSnapshot EarningsProvider::cachedOrSample(bool& isSample) const {
    isSample = false;
    if (auto cached = AmbrelSnapshot::load(services_.defaults)) return std::move(*cached);
    isSample = true;
    return sampleSnapshot();
}

}  // namespace ambrel
