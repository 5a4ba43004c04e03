#pragma once

// The widget's timeline provider: what the desktop host asks for when it places a widget, every
// 30 minutes, and whenever the application requests a reload. It keeps nothing between calls;
// every request reads the secret store and the widget's own cache afresh.

#include <chrono>
#include <optional>
#include <string>

#include "core/earnings/earnings_store.h"
#include "core/earnings/snapshot.h"
#include "core/platform/clock.h"
#include "core/services.h"

namespace ambrel {

// One timeline entry, drawn by the widget views.
struct EarningsEntry {
    Instant date;  // when the entry was made
    AmbrelSnapshot snapshot;
    Objectives objectives;
    bool isConnected = false;  // a refresh token is stored in the shared secret store
    // Google refused the stored refresh token (it expired or was revoked): the figures are the
    // last ones fetched, and only a new sign-in in the application brings new ones.
    bool needsSignIn = false;
    // The snapshot is the built-in sample, not figures of the account: nothing was ever fetched
    // (or cached). Surfaces draw it as a placeholder and never print its figures as real ones.
    bool isSample = false;
    bool operator==(const EarningsEntry&) const = default;
};

// Exactly one entry, and when to ask for the next timeline.
struct Timeline {
    EarningsEntry entry;
    Instant reloadDate;
    // The entry's snapshot is the one the refresh of this timeline fetched, not the cached one or
    // the sample that a failed (or skipped) refresh falls back to: only such figures are news.
    bool refreshed = false;

    bool operator==(const Timeline&) const = default;
};

// The same interval whether the refresh succeeded, failed or was not attempted: a failure is
// never retried sooner, so an outage does not turn into a stream of requests.
inline constexpr std::chrono::seconds kTimelineReloadInterval{1800};
// A refusal that says how long to wait (Retry-After, with Google's quota used up) moves the
// reload date that far, but never nearer than the interval nor further than this: a server's
// header must not stop the widget for good.
inline constexpr std::chrono::seconds kLongestReloadDelay{std::chrono::hours{24}};

class EarningsProvider {
  public:
    // The services are borrowed for the provider's lifetime. Their secret store is only read.
    explicit EarningsProvider(const Services& services) : services_(services) {}

    // At once, without reading any store: the sample figures with the default objectives.
    EarningsEntry placeholder() const;

    // Without network: the cached snapshot (or the sample) as the widget last knew it.
    EarningsEntry snapshot() const;

    // Blocks while the refresh runs. A failed refresh is not an error: the entry then shows the
    // cached snapshot, or the sample when nothing is cached. A refresh token that Google refused
    // is remembered (ended_sign_in.h) and not sent again: the entry says it needs a new sign-in.
    Timeline timeline() const;

  private:
    // The stored refresh token's digest (ended_sign_in.h); none when no token is stored or the
    // store cannot be read.
    std::optional<std::string> storedTokenDigest() const;
    // Google refused the stored token.
    bool signInEnded(const std::optional<std::string>& tokenDigest) const;
    // The cached snapshot, or the sample (and so `isSample`) when nothing usable is cached.
    AmbrelSnapshot cachedOrSample(bool& isSample) const;

    const Services& services_;
};

}  // namespace ambrel
