// The timeline provider against scripted HTTP, an in-memory secret store and a private
// defaults folder: what each request reads, whether it touches the network, and what a failed
// refresh leaves behind.

#include "widget/earnings_provider.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/auth/keychain.h"
#include "core/earnings/earnings_store.h"
#include "support/fake_http_client.h"
#include "support/memory_secret_store.h"
#include "support/temp_dir.h"
#include "widget/sample_snapshot.h"

namespace ambrel {
namespace {

using std::chrono::seconds;
using testing::FakeHttpClient;
using testing::MemorySecretStore;
using testing::TempDir;

constexpr const char* kTokenUri = "https://oauth.test/token";

AmbrelSnapshot someCachedSnapshot() {
    AmbrelSnapshot snapshot;
    snapshot.today = 1.25;
    snapshot.yesterday = 3.5;
    snapshot.last7 = 20;
    snapshot.perfYesterday.pageViews = 812;
    snapshot.balance = "€70.00";
    snapshot.currency = "USD";
    snapshot.updatedAt = instantFromReferenceSeconds(799'990'000);
    return snapshot;
}

FakeHttpClient::Reply transportFailure(const HttpRequest&) {
    return std::unexpected(TransportError{"Could not resolve host"});
}

class EarningsProviderTest : public ::testing::Test {
  protected:
    void storeToken() { secrets.put(refreshTokenItem(), "1//stored-refresh-token"); }

    void writeClientSecret() {
        std::ofstream(clientSecretPath())
            << R"({"installed": {"client_id": "id.apps", "client_secret": "shh",
                 "auth_uri": "https://oauth.test/auth", "token_uri": ")"
            << kTokenUri << R"("}})";
    }

    void cache(const AmbrelSnapshot& snapshot) {
        AmbrelSnapshot::save(defaults, snapshot);
        ASSERT_TRUE(defaults.data(kSnapshotKey).has_value());
    }

    std::filesystem::path clientSecretPath() const { return config.path() / "client_secret.json"; }

    TempDir cacheFolder;
    TempDir config;
    FakeHttpClient http;
    MemorySecretStore secrets;
    Defaults defaults{cacheFolder.path()};
    Instant now = instantFromReferenceSeconds(800'000'000);
    Services services{.http = http,
                      .secrets = secrets,
                      .defaults = defaults,
                      .now = [this] { return now; },
                      .adsenseBase = "https://adsense.test/v2",
                      .clientSecretLocations = {config.path() / "client_secret.json"}};
    EarningsProvider provider{services};
};

// Signed out: the cached figures are shown as disconnected, and nothing goes on the wire even
// though a client configuration and a cache would allow a refresh.
TEST_F(EarningsProviderTest, TimelineWithoutTokenIsOfflineAndDisconnected) {
    writeClientSecret();
    cache(someCachedSnapshot());

    Timeline timeline = provider.timeline();

    EXPECT_FALSE(timeline.entry.isConnected);
    EXPECT_EQ(timeline.entry.snapshot, someCachedSnapshot());
    EXPECT_EQ(timeline.entry.date, now);
    EXPECT_EQ(timeline.reloadDate, now + seconds(1800));
    EXPECT_TRUE(http.requests().empty());
}

// A secret store that cannot be read counts as signed out, not as an error.
TEST_F(EarningsProviderTest, TimelineWithUnreadableStoreIsDisconnectedWithSample) {
    storeToken();
    writeClientSecret();
    secrets.readStatus = errSecNotAvailable;

    Timeline timeline = provider.timeline();

    EXPECT_FALSE(timeline.entry.isConnected);
    EXPECT_EQ(timeline.entry.snapshot, sampleSnapshot());
    EXPECT_EQ(timeline.entry.objectives, Objectives{});
    EXPECT_TRUE(http.requests().empty());
}

// No network and nothing cached: the sample stands in, still shown as connected, and no
// snapshot is stored by the failed attempt.
TEST_F(EarningsProviderTest, TimelineWithTokenOfflineAndEmptyCacheShowsSample) {
    storeToken();
    writeClientSecret();
    http.setFallback(transportFailure);

    Timeline timeline = provider.timeline();

    EXPECT_TRUE(timeline.entry.isConnected);
    EXPECT_FALSE(timeline.refreshed);
    EXPECT_EQ(timeline.entry.snapshot, sampleSnapshot());
    EXPECT_EQ(timeline.reloadDate, now + seconds(1800));
    ASSERT_FALSE(http.requests().empty());  // the refresh was really attempted
    EXPECT_EQ(http.requests().front().url, kTokenUri);
    EXPECT_FALSE(defaults.data(kSnapshotKey).has_value());
}

// Refused token, HTTP errors or a missing client configuration all keep the cached snapshot
// exactly as stored, without rewriting it.
TEST_F(EarningsProviderTest, TimelineKeepsCacheWhenRefreshFails) {
    storeToken();
    cache(someCachedSnapshot());
    const auto storedBytes = defaults.data(kSnapshotKey);

    // First without client_secret.json, then with a token endpoint that refuses.
    Timeline withoutConfig = provider.timeline();
    writeClientSecret();
    http.setFallback([](const HttpRequest&) -> FakeHttpClient::Reply {
        return HttpResponse{400, R"({"error": "invalid_grant"})"};
    });
    now += seconds(60);
    Timeline refused = provider.timeline();

    for (const Timeline& timeline : {withoutConfig, refused}) {
        EXPECT_TRUE(timeline.entry.isConnected);
        EXPECT_FALSE(timeline.refreshed);
        EXPECT_EQ(timeline.entry.snapshot, someCachedSnapshot());
        EXPECT_EQ(timeline.reloadDate, timeline.entry.date + seconds(1800));
    }
    EXPECT_EQ(http.requests().size(), 1u);
    EXPECT_EQ(defaults.data(kSnapshotKey), storedBytes);
}

// The objectives are read once the refresh is over, so goals saved while it ran are shown.
TEST_F(EarningsProviderTest, TimelineReadsObjectivesAfterRefresh) {
    storeToken();
    writeClientSecret();
    http.setFallback([this](const HttpRequest& request) {
        secrets.put(objectivesItem(), R"({"daily": 20, "monthly": 400})");
        return transportFailure(request);
    });

    Timeline timeline = provider.timeline();

    EXPECT_EQ(timeline.entry.objectives, (Objectives{20, 400}));
}

// The reload date is taken after the entry is made, half an hour on.
TEST_F(EarningsProviderTest, TimelineReloadDateFollowsTheEntry) {
    Instant lastReading = now;
    services.now = [&lastReading] { return lastReading += seconds(7); };

    Timeline timeline = provider.timeline();

    EXPECT_GT(lastReading, timeline.entry.date);
    EXPECT_EQ(timeline.reloadDate, lastReading + seconds(1800));
}

// A full refresh: the fresh snapshot is shown and cached, and a refresh token that comes back
// from the token endpoint is not stored (the widget only reads the secret store).
TEST_F(EarningsProviderTest, TimelineShowsAndCachesFreshSnapshot) {
    storeToken();
    writeClientSecret();
    cache(someCachedSnapshot());
    http.setFallback([](const HttpRequest& request) -> FakeHttpClient::Reply {
        if (request.url == kTokenUri)
            return HttpResponse{200, R"({"access_token": "ya29.a", "expires_in": 3599,
                                         "refresh_token": "1//rotated"})"};
        if (request.url.ends_with("/accounts"))
            return HttpResponse{200, R"({"accounts": [{"name": "accounts/pub-7"}]})"};
        if (request.url.find("reports:generate") != std::string::npos)
            return HttpResponse{200, R"({"headers": [{"name": "DATE"},
                {"name": "ESTIMATED_EARNINGS", "currencyCode": "GBP"}],
                "rows": [{"cells": [{"value": "2026-05-08"}, {"value": "4.5"}]}],
                "totals": {"cells": [{"value": "12"}]}})"};
        return HttpResponse{200, R"({"payments": []})"};
    });

    Timeline timeline = provider.timeline();

    // 06:13 UTC on 9 May is still 8 May in Los Angeles, whose days an account without a zone
    // counts.
    EXPECT_TRUE(timeline.entry.isConnected);
    EXPECT_TRUE(timeline.refreshed);
    EXPECT_EQ(timeline.entry.snapshot.today, 4.5);
    EXPECT_EQ(timeline.entry.snapshot.currency, "GBP");
    EXPECT_EQ(AmbrelSnapshot::load(defaults), timeline.entry.snapshot);
    EXPECT_EQ(secrets.value(refreshTokenItem()), "1//stored-refresh-token");
}

// Google refused the stored token: the entry keeps the cached figures and says the sign-in must
// be renewed, in every later entry too (the status line's included), and the refused token is
// never sent again; a new sign-in's token is tried at once.
TEST_F(EarningsProviderTest, RefusedSignInIsRememberedUntilANewToken) {
    storeToken();
    writeClientSecret();
    cache(someCachedSnapshot());
    http.setFallback([](const HttpRequest&) -> FakeHttpClient::Reply {
        return HttpResponse{400, R"({"error": "invalid_grant", "error_description": "Bad"})"};
    });

    const Timeline refused = provider.timeline();
    const Timeline later = provider.timeline();
    const EarningsEntry offline = provider.snapshot();

    for (const EarningsEntry& entry : {refused.entry, later.entry, offline}) {
        EXPECT_TRUE(entry.isConnected);
        EXPECT_TRUE(entry.needsSignIn);
        EXPECT_EQ(entry.snapshot, someCachedSnapshot());
    }
    EXPECT_EQ(later.reloadDate, later.entry.date + seconds(1800));
    EXPECT_EQ(http.requests().size(), 1u);
    const auto mark = defaults.data("auth.refusedToken");
    ASSERT_TRUE(mark.has_value());
    EXPECT_EQ(mark->find("stored-refresh-token"), std::string::npos);

    secrets.put(refreshTokenItem(), "1//new-sign-in");
    EXPECT_FALSE(provider.snapshot().needsSignIn);
    http.setFallback(transportFailure);
    const Timeline renewed = provider.timeline();
    EXPECT_FALSE(renewed.entry.needsSignIn);
    EXPECT_EQ(http.requests().size(), 2u);
}

// Google's quota used up: the next timeline waits as long as Retry-After asks, but never less
// than the usual half hour nor more than a day.
TEST_F(EarningsProviderTest, RetryAfterMovesTheReloadDate) {
    storeToken();
    writeClientSecret();
    for (auto [asked, waited] : {std::pair{seconds(7200), seconds(7200)},
                                 {seconds(60), seconds(1800)},
                                 {seconds(30 * 86400), seconds(86400)}}) {
        http.setFallback([asked](const HttpRequest& request) -> FakeHttpClient::Reply {
            if (request.url == kTokenUri)
                return HttpResponse{200, R"({"access_token": "ya29.a", "expires_in": 3599})"};
            return HttpResponse{429, R"({"error": {"code": 429, "status": "RESOURCE_EXHAUSTED"}})",
                                asked};
        });
        const Timeline timeline = provider.timeline();
        EXPECT_EQ(timeline.reloadDate, now + waited) << asked.count();
    }
}

// The placeholder reads nothing: stored goals, cache and token make no difference.
TEST_F(EarningsProviderTest, PlaceholderIgnoresStores) {
    cache(someCachedSnapshot());
    secrets.put(objectivesItem(), R"({"daily": 20, "monthly": 400})");
    secrets.readStatus = errSecNotAvailable;

    EarningsEntry entry = provider.placeholder();

    EXPECT_EQ(entry.date, now);
    EXPECT_EQ(entry.snapshot, sampleSnapshot());
    EXPECT_EQ(entry.objectives, (Objectives{10, 300}));
    EXPECT_TRUE(entry.isConnected);
    EXPECT_TRUE(http.requests().empty());
}

// The snapshot request shows the cache, stored goals and the sign-in state, all offline.
TEST_F(EarningsProviderTest, SnapshotReadsStoresWithoutNetwork) {
    writeClientSecret();
    secrets.put(objectivesItem(), R"({"daily": 20, "monthly": 400})");

    EarningsEntry signedOut = provider.snapshot();
    storeToken();
    cache(someCachedSnapshot());
    EarningsEntry signedIn = provider.snapshot();

    EXPECT_FALSE(signedOut.isConnected);
    EXPECT_EQ(signedOut.snapshot, sampleSnapshot());
    EXPECT_TRUE(signedIn.isConnected);
    EXPECT_EQ(signedIn.snapshot, someCachedSnapshot());
    EXPECT_EQ(signedIn.objectives, (Objectives{20, 400}));
    EXPECT_EQ(signedIn.date, now);
    EXPECT_TRUE(http.requests().empty());
}

// Stored goals that do not decode, and a cache that does not decode, read as the defaults.
TEST_F(EarningsProviderTest, UndecodableStoresReadAsDefaults) {
    secrets.put(objectivesItem(), R"({"daily": 20})");
    defaults.set(kSnapshotKey, R"({"today": 1})");

    EarningsEntry fromSnapshot = provider.snapshot();
    Timeline fromTimeline = provider.timeline();

    for (const EarningsEntry& entry : {fromSnapshot, fromTimeline.entry}) {
        EXPECT_EQ(entry.objectives, (Objectives{10, 300}));
        EXPECT_EQ(entry.snapshot, sampleSnapshot());
    }
}

}  // namespace
}  // namespace ambrel
