// Whole refreshes over HTTPS against the fake Google server: the requests on the wire, the
// cache files left behind, and how failures of the server surface.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "core/auth/keychain.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/earnings/formatting.h"
#include "core/earnings/snapshot_refresh.h"
#include "core/platform/curl_http_client.h"
#include "fakes/fake_adsense.h"
#include "fakes/fake_google.h"
#include "support/memory_secret_store.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

using namespace std::chrono;
using fakes::Endpoint;
using fakes::Fault;
using fakes::Pairs;

const std::string kAccount = "accounts/pub-1234567890123456";

// Method and path of each request; those from the third on went out together, in any order,
// so they are sorted.
std::vector<std::string> methodAndPath(const std::vector<fakes::RecordedRequest>& requests) {
    std::vector<std::string> out;
    for (const auto& r : requests) out.push_back(r.method + " " + r.path);
    if (out.size() > 2) std::sort(out.begin() + 2, out.end());
    return out;
}

const fakes::RecordedRequest* findQuery(const std::vector<fakes::RecordedRequest>& requests,
                                        const Pairs& query) {
    auto found = std::find_if(requests.begin(), requests.end(),
                              [&](const auto& r) { return r.query == query; });
    return found == requests.end() ? nullptr : &*found;
}

// The request's header names, "host" aside (HTTP/1.1 requires it of every client).
std::vector<std::string> headerNames(const fakes::RecordedRequest& request) {
    std::vector<std::string> names;
    for (const auto& [name, value] : request.headers)
        if (name != "host") names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

// 35 days up to 21 May 2026, day n earning n, a balance and one payment made, in USD.
void stock(fakes::FakeGoogle& google) {
    google.setCurrency("USD");
    std::vector<fakes::FakeDay> fakeDays;
    for (sys_days d = sys_days{2026y / April / 17}; d <= sys_days{2026y / May / 21}; d += days{1}) {
        double n = static_cast<double>((d - sys_days{2026y / April / 16}).count());
        fakeDays.push_back({dateKey(d), n, 1000, 1.5, 2000, 20, 0.5, 0.02});
    }
    google.setDays(fakeDays);
    google.setPayments({{"unpaid", {}, {}, {}, "$42.10"}, {"2026-04-21", 2026, 4, 21, "$120.00"}});
}

class RefreshAgainstFakeGoogle : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ofstream(dir.path() / "client_secret.json") << google.clientSecretJson();
        stock(google);
        secrets.put(refreshTokenItem(), "1//fake-refresh-token");
    }

    Services services() {
        return Services{http,
                        secrets,
                        defaults,
                        [this] { return now; },
                        google.adsenseBase(),
                        {dir.path() / "client_secret.json"}};
    }

    bool cached(const char* key) const {
        return std::filesystem::exists(dir.path() / "defaults" / key);
    }

    fakes::FakeGoogle google{0, fakes::Scheme::https};
    testing::TempDir dir;
    CurlHttpClient http{fakes::testCaFile()};
    testing::MemorySecretStore secrets;
    Defaults defaults{dir.path() / "defaults"};
    Instant now = sys_days{2026y / May / 21} + 10h;
};

TEST_F(RefreshAgainstFakeGoogle, FirstRefreshSendsFiveRequestsThenACachedOneTwo) {
    auto snapshot = refreshSnapshot(services());
    ASSERT_TRUE(snapshot) << errorMessage(snapshot.error());
    auto requests = google.requests();
    const std::string reportPath = "/v2/" + kAccount + "/reports:generate";
    EXPECT_EQ(methodAndPath(requests),
              (std::vector<std::string>{"POST /token", "GET /v2/accounts",
                                        "GET /v2/" + kAccount + "/payments", "GET " + reportPath,
                                        "GET " + reportPath}));

    Pairs form = requests[0].form;
    std::sort(form.begin(), form.end());
    EXPECT_EQ(form, (Pairs{{"client_id", "1234-fake.apps.googleusercontent.com"},
                           {"client_secret", "fake-client-secret"},
                           {"grant_type", "refresh_token"},
                           {"refresh_token", "1//fake-refresh-token"}}));
    EXPECT_EQ(requests[1].query, Pairs{});
    EXPECT_TRUE(findQuery(requests, dailyReportQuery(2026y / May / 21)));
    EXPECT_TRUE(findQuery(requests, Pairs{{"dateRange", "CUSTOM"},
                                          {"metrics", "ESTIMATED_EARNINGS"},
                                          {"startDate.year", "2025"},
                                          {"startDate.month", "5"},
                                          {"startDate.day", "1"},
                                          {"endDate.year", "2025"},
                                          {"endDate.month", "5"},
                                          {"endDate.day", "21"}}));
    for (std::size_t i = 1; i < requests.size(); ++i) {
        EXPECT_EQ(headerNames(requests[i]), std::vector<std::string>{"authorization"}) << i;
        auto auth = std::find_if(requests[i].headers.begin(), requests[i].headers.end(),
                                 [](const auto& h) { return h.first == "authorization"; });
        ASSERT_NE(auth, requests[i].headers.end()) << i;
        EXPECT_EQ(auth->second, "Bearer ya29.fake-access-token") << i;
    }

    // Day n of the range earns n: 21 May is day 35, 20 May day 34.
    EXPECT_EQ(snapshot->today, 35);
    EXPECT_EQ(snapshot->yesterday, 34);
    EXPECT_EQ(snapshot->monthToDate, (15 + 35) * 21 / 2);
    EXPECT_DOUBLE_EQ(snapshot->perfYesterday.ctr, 2);
    EXPECT_EQ(snapshot->currency, "USD");
    EXPECT_TRUE(snapshot->balance && snapshot->lastPaymentAmount && snapshot->lastPaymentDateLabel);
    EXPECT_EQ(defaults.data(kAccountKey), kAccount);
    EXPECT_TRUE(cached(kSlowDataKey));
    EXPECT_EQ(AmbrelSnapshot::load(defaults), snapshot);

    google.clearRequests();
    now += 30min;
    auto second = refreshSnapshot(services());
    ASSERT_TRUE(second) << errorMessage(second.error());
    EXPECT_EQ(methodAndPath(google.requests()),
              (std::vector<std::string>{"POST /token", "GET " + reportPath}));
    EXPECT_EQ(second->monthLastYear, snapshot->monthLastYear);
    EXPECT_EQ(second->updatedAt, now);
}

// Each server failure ends the refresh with its own kind of error, and the caches keep
// exactly what the outcome of that step allows.
TEST_F(RefreshAgainstFakeGoogle, ServerFailuresEndTheRefreshAndLeaveTheCaches) {
    struct Case {
        const char* name;
        Endpoint endpoint;
        Fault fault;
        bool refused = false;  // token refusal instead of a fault
        // Index in the Error variant: 0 AdSense, 1 OAuth, 3 transport, 4 decoding.
        std::size_t errorIndex;
        bool accountWritten;
        std::optional<std::string> message = std::nullopt;  // when the text is ours
    };
    const Case cases[] = {
        {"token refused",
         Endpoint::token,
         {},
         true,
         1,
         false,
         "Google ended this sign-in: it expired or was revoked. Sign in again to see new "
         "figures."},
        {"report 500", Endpoint::report, Fault{.status = 500, .body = "backend error"}, false, 0,
         true, "AdSense error (500): backend error"},
        {"malformed report", Endpoint::report, Fault{.malformedJson = true}, false, 4, true},
        {"payments connection closed", Endpoint::payments, Fault{.closeConnection = true}, false, 3,
         true},
        {"accounts 403", Endpoint::accounts, Fault{.status = 403, .body = ""}, false, 0, false,
         "AdSense error (403): "},
    };
    for (const Case& c : cases) {
        fakes::FakeGoogle server{0, fakes::Scheme::https};  // a clean server per case
        stock(server);
        std::ofstream(dir.path() / "client_secret.json") << server.clientSecretJson();
        clearEarningsCache(defaults);
        if (c.refused)
            server.refuseToken("invalid_grant", "Token has been expired or revoked.");
        else
            server.injectFault(c.endpoint, c.fault);
        Services s{http,
                   secrets,
                   defaults,
                   [this] { return now; },
                   server.adsenseBase(),
                   {dir.path() / "client_secret.json"}};

        auto snapshot = refreshSnapshot(s);
        ASSERT_FALSE(snapshot) << c.name;
        EXPECT_EQ(snapshot.error().index(), c.errorIndex)
            << c.name << ": " << errorMessage(snapshot.error());
        EXPECT_EQ(cached(kAccountKey), c.accountWritten) << c.name;
        EXPECT_FALSE(cached(kSlowDataKey)) << c.name;
        EXPECT_FALSE(cached(kSnapshotKey)) << c.name;
        if (c.message) {
            EXPECT_EQ(errorMessage(snapshot.error()), *c.message) << c.name;
        }
    }
}

// A refresh whose slow data is stale and whose payments fail keeps the old entries whole.
TEST_F(RefreshAgainstFakeGoogle, FailingPaymentsKeepStaleSlowDataAndTheOldSnapshot) {
    ASSERT_TRUE(refreshSnapshot(services()));
    const auto slowBefore = defaults.data(kSlowDataKey);
    const auto snapshotBefore = defaults.data(kSnapshotKey);
    now += 6h;
    google.injectFault(Endpoint::payments, Fault{.status = 503, .body = "unavailable"});
    google.clearRequests();

    auto snapshot = refreshSnapshot(services());
    ASSERT_FALSE(snapshot);
    EXPECT_EQ(errorMessage(snapshot.error()), "AdSense error (503): unavailable");
    EXPECT_EQ(google.requests().size(), 4u);  // token, report, last year, payments
    EXPECT_EQ(defaults.data(kSlowDataKey), slowBefore);
    EXPECT_EQ(defaults.data(kSnapshotKey), snapshotBefore);
}

// Google's own calendar, from the outside: at 16:00 UTC on 21 May the account in Tokyo is
// already on 22 May, with no row for that day yet, while the desktop sits in Los Angeles; the
// first account listed is CLOSED, and YouTube's payments are listed beside AdSense's.
TEST_F(RefreshAgainstFakeGoogle, FiguresFollowTheChosenAccountsCalendar) {
    testing::ScopedEnv env;
    env.set("TZ", "America/Los_Angeles");
    google.setAccounts({{"accounts/pub-0", "Closed", "America/New_York", "CLOSED"},
                        {kAccount, "Tokyo publisher", "Asia/Tokyo"}});
    google.setPayments({{"youtube-unpaid", {}, {}, {}, "$900.00"},
                        {"youtube-2026-05-20", 2026, 5, 20, "$800.00"},
                        {"unpaid", {}, {}, {}, "$42.10"},
                        {"2026-04-21", 2026, 4, 21, "$120.00"}});
    now = sys_days{2026y / May / 21} + 16h;

    auto snapshot = refreshSnapshot(services());
    ASSERT_TRUE(snapshot) << errorMessage(snapshot.error());
    EXPECT_TRUE(findQuery(google.requests(), dailyReportQuery(2026y / May / 22)));
    EXPECT_EQ(snapshot->today, 0);       // 22 May: no row yet
    EXPECT_EQ(snapshot->yesterday, 35);  // 21 May
    EXPECT_EQ(snapshot->monthToDate, (15 + 35) * 21 / 2);
    EXPECT_EQ(snapshot->dailyEarnings.back(), (DailyEarning{"2026-05-22", 0}));
    EXPECT_EQ(snapshot->timeZone, "Asia/Tokyo");
    EXPECT_EQ(snapshot->balance, formatCurrency("USD", 42.10));
    EXPECT_EQ(snapshot->lastPaymentAmount, formatCurrency("USD", 120));
    EXPECT_EQ(defaults.data(kAccountKey), kAccount);
    EXPECT_EQ(defaults.data(kAccountTimeZoneKey), "Asia/Tokyo");
}

// Google's error answers become sentences: the API not enabled in the project, with its page,
// and the quota used up, with how long to wait.
TEST_F(RefreshAgainstFakeGoogle, GooglesRefusalsArriveInPlainWords) {
    google.injectFault(Endpoint::accounts, fakes::serviceDisabledFault("77"), 1);
    auto disabled = refreshSnapshot(services());
    ASSERT_FALSE(disabled);
    EXPECT_EQ(errorMessage(disabled.error()),
              "The AdSense Management API is not enabled in your Google Cloud project. Enable it, "
              "wait a few minutes, then refresh.");
    EXPECT_EQ(errorLink(disabled.error()),
              "https://console.developers.google.com/apis/api/adsense.googleapis.com/"
              "overview?project=77");

    google.injectFault(Endpoint::report, fakes::quotaExceededFault(600), 1);
    auto quota = refreshSnapshot(services());
    ASSERT_FALSE(quota);
    EXPECT_EQ(std::get<AdSenseError>(quota.error()).status, 429);
    EXPECT_EQ(std::get<AdSenseError>(quota.error()).retryAfter, seconds(600));
}

}  // namespace
}  // namespace ambrel
