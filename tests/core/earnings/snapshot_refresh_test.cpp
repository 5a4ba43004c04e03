// One refresh against a scripted Google: the requests it makes, the snapshot it computes and
// the cache entries it leaves behind for every outcome.

#include "core/earnings/snapshot_refresh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "core/auth/access_token_keeper.h"
#include "core/auth/keychain.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/earnings/formatting.h"
#include "support/fake_http_client.h"
#include "support/memory_secret_store.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

using namespace std::chrono;
using nlohmann::json;
using testing::FakeHttpClient;

constexpr const char* kBase = "https://adsense.example/v2";
constexpr const char* kTokenUri = "https://oauth.example/token";
constexpr const char* kAccount = "accounts/pub-1";
// The accounts list of SetUp names no zone: Google counts its days in Los Angeles.
constexpr const char* kDefaultZone = "America/Los_Angeles";

enum class Call { token, accounts, dailyReport, lastYearReport, payments };

Call callOf(const HttpRequest& request) {
    if (request.url == kTokenUri) return Call::token;
    if (request.url.ends_with("/accounts")) return Call::accounts;
    if (request.url.ends_with("/payments")) return Call::payments;
    return request.url.find("dimensions=DATE") != std::string::npos ? Call::dailyReport
                                                                    : Call::lastYearReport;
}

// A daily report of `count` days up to `last`, day i earning i + 1.
std::string dailyReport(sys_days last, int count, const char* currency = "USD") {
    json rows = json::array();
    for (int i = 0; i < count; ++i) {
        sys_days day = last - days{count - 1 - i};
        rows.push_back({{"cells", json::array({{{"value", dateKey(day)}},
                                               {{"value", std::to_string(i + 1)}},
                                               {{"value", "1000"}},
                                               {{"value", "2"}},
                                               {{"value", "1500"}},
                                               {{"value", "10"}},
                                               {{"value", "0.2"}},
                                               {{"value", "0.01"}}})}});
    }
    json headers = json::array({{{"name", "DATE"}}});
    for (const char* metric : kDailyReportMetrics) headers.push_back({{"name", metric}});
    headers[1]["currencyCode"] = currency;
    return json{{"headers", headers}, {"rows", rows}}.dump();
}

class SnapshotRefresh : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ofstream(dir.path() / "client_secret.json") << json{
            {"installed",
             {{"client_id", "cid"},
              {"client_secret", "csecret"},
              {"auth_uri", "https://oauth.example/auth"},
              {"token_uri", kTokenUri}}}}.dump();
        secrets.put(refreshTokenItem(), "refresh-1");
        answers = {
            {Call::token, HttpResponse{200, R"({"access_token":"at-1","expires_in":3599})"}},
            {Call::accounts, HttpResponse{200, R"({"accounts":[{"name":"accounts/pub-1"}]})"}},
            {Call::dailyReport, HttpResponse{200, dailyReport(sys_days{2026y / May / 21}, 35)}},
            {Call::lastYearReport,
             HttpResponse{200, R"({"totals":{"cells":[{"value":"321.5"}]}})"}},
            {Call::payments, HttpResponse{200, R"({"payments":[
                {"name":"accounts/pub-1/payments/unpaid","amount":"$12.50"},
                {"name":"accounts/pub-1/payments/2026-04-21","amount":"$100.00",
                 "date":{"year":2026,"month":4,"day":21}}]})"}},
        };
        resetHttp();
    }

    // A fresh client that answers each call from `answers` and has recorded nothing yet.
    void resetHttp() {
        http = std::make_unique<FakeHttpClient>();
        http->setFallback(
            [this](const HttpRequest& request) { return answers.at(callOf(request)); });
    }

    Services services() {
        return Services{*http,    secrets,
                        defaults, [this] { return now; },
                        kBase,    {dir.path() / "client_secret.json"}};
    }

    std::vector<Call> calls() const {
        std::vector<Call> out;
        for (const auto& request : http->requests()) out.push_back(callOf(request));
        return out;
    }

    bool made(Call call) const {
        const auto all = calls();
        return std::ranges::find(all, call) != all.end();
    }

    struct Entries {
        std::optional<std::string> account, zone, slowData, snapshot;
        bool operator==(const Entries&) const = default;
    };
    Entries entries() const {
        return {defaults.data(kAccountKey), defaults.data(kAccountTimeZoneKey),
                defaults.data(kSlowDataKey), defaults.data(kSnapshotKey)};
    }

    // The account and its zone, as a refresh that listed the accounts leaves them.
    void cacheAccount(const char* zone = kDefaultZone) {
        saveAccountId(defaults, kAccount);
        saveAccountTimeZone(defaults, zone);
    }

    testing::TempDir dir;
    std::unique_ptr<FakeHttpClient> http;
    testing::MemorySecretStore secrets;
    Defaults defaults{dir.path() / "defaults"};
    Instant now = sys_days{2026y / May / 21} + 10h;
    std::map<Call, FakeHttpClient::Reply> answers;
};

TEST_F(SnapshotRefresh, FirstRefreshMakesFiveRequestsAndFillsEveryCache) {
    auto snapshot = refreshSnapshot(services());
    ASSERT_TRUE(snapshot) << errorMessage(snapshot.error());
    EXPECT_EQ(calls(), (std::vector<Call>{Call::token, Call::accounts, Call::dailyReport,
                                          Call::lastYearReport, Call::payments}));
    auto requests = http->requests();
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[1].url, std::string(kBase) + "/accounts");
    EXPECT_EQ(requests[2].url, std::string(kBase) + "/accounts/pub-1/reports:generate?" +
                                   encodeQuery(dailyReportQuery(2026y / May / 21)));
    EXPECT_EQ(requests[3].url, std::string(kBase) +
                                   "/accounts/pub-1/reports:generate?dateRange=CUSTOM"
                                   "&metrics=ESTIMATED_EARNINGS&startDate.year=2025"
                                   "&startDate.month=5&startDate.day=1&endDate.year=2025"
                                   "&endDate.month=5&endDate.day=21");
    EXPECT_EQ(requests[4].url, std::string(kBase) + "/accounts/pub-1/payments");
    for (std::size_t i = 1; i < requests.size(); ++i)
        EXPECT_EQ(requests[i].headers,
                  (decltype(requests[i].headers){{"Authorization", "Bearer at-1"}}));

    // Days 1..35 earn 1..35; the reference day 21 May is day 35.
    EXPECT_EQ(snapshot->today, 35);
    EXPECT_EQ(snapshot->yesterday, 34);
    EXPECT_EQ(snapshot->yesterdayPrevWeek, 27);
    EXPECT_EQ(snapshot->last7, 34 + 33 + 32 + 31 + 30 + 29 + 28);
    EXPECT_EQ(snapshot->prev7, 27 + 26 + 25 + 24 + 23 + 22 + 21);
    EXPECT_EQ(snapshot->monthToDate, (15 + 35) * 21 / 2);  // 1..21 May are days 15..35
    EXPECT_EQ(snapshot->perfYesterday, (PerfValues{1000, 2, 1500, 10, 0.2, 1}));
    EXPECT_EQ(snapshot->monthLastYear, 321.5);
    EXPECT_EQ(snapshot->balance, formatCurrency("USD", 12.5));
    EXPECT_EQ(snapshot->lastPaymentAmount, formatCurrency("USD", 100));
    EXPECT_TRUE(snapshot->lastPaymentDateLabel.has_value());
    EXPECT_EQ(snapshot->currency, "USD");
    EXPECT_EQ(snapshot->updatedAt, now);
    ASSERT_EQ(snapshot->dailyEarnings.size(), 35u);
    EXPECT_EQ(snapshot->dailyEarnings.front(), (DailyEarning{"2026-04-17", 1}));
    EXPECT_EQ(snapshot->dailyEarnings.back(), (DailyEarning{"2026-05-21", 35}));
    EXPECT_EQ(snapshot->timeZone, kDefaultZone);

    EXPECT_EQ(loadAccountId(defaults), kAccount);
    EXPECT_EQ(defaults.data(kAccountTimeZoneKey), kDefaultZone);
    EXPECT_EQ(AmbrelSnapshot::load(defaults), snapshot);
    auto slow = SlowData::load(defaults, kSlowDataMaxAgeSeconds, now);
    ASSERT_TRUE(slow);
    EXPECT_EQ(*slow, (SlowData{321.5, snapshot->balance, snapshot->lastPaymentAmount,
                               snapshot->lastPaymentDateLabel, now}));
}

TEST_F(SnapshotRefresh, CachedRefreshMakesTwoRequestsAndUsesSlowDataAsStored) {
    ASSERT_TRUE(refreshSnapshot(services()));
    SlowData stored{7, "cached balance", std::nullopt, "cached label", now};
    SlowData::save(defaults, stored);
    resetHttp();
    now += 1h;

    auto snapshot = refreshSnapshot(services());
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(calls(), (std::vector<Call>{Call::token, Call::dailyReport}));
    EXPECT_EQ(snapshot->monthLastYear, 7);
    EXPECT_EQ(snapshot->balance, "cached balance");
    EXPECT_EQ(snapshot->lastPaymentAmount, std::nullopt);
    EXPECT_EQ(snapshot->lastPaymentDateLabel, "cached label");
    EXPECT_EQ(SlowData::load(defaults, kSlowDataMaxAgeSeconds, now), stored);
    EXPECT_EQ(AmbrelSnapshot::load(defaults), snapshot);
}

TEST_F(SnapshotRefresh, SlowDataIsReusedUntilItIsSixHoursOld) {
    struct Case {
        seconds age;
        std::vector<Call> calls;
    };
    const Case cases[] = {
        {5h + 59min, {Call::token, Call::dailyReport}},
        {6h, {Call::token, Call::dailyReport, Call::lastYearReport, Call::payments}},
    };
    cacheAccount();
    for (const Case& c : cases) {
        resetHttp();
        SlowData stored{7, std::nullopt, std::nullopt, std::nullopt, now - c.age};
        SlowData::save(defaults, stored);
        auto snapshot = refreshSnapshot(services());
        ASSERT_TRUE(snapshot);
        EXPECT_EQ(calls(), c.calls) << c.age.count();
        bool fetched = c.calls.size() == 4;
        EXPECT_EQ(snapshot->monthLastYear, fetched ? 321.5 : 7) << c.age.count();
        auto slow = decodeSlowData(defaults.data(kSlowDataKey).value_or(""));
        ASSERT_TRUE(slow);
        EXPECT_EQ(slow->fetchedAt, fetched ? now : now - c.age);
    }
}

// The stale slow data's requests go beside the daily report; without data their answers are
// dropped and the slow data entry keeps its bytes.
TEST_F(SnapshotRefresh, EmptyDailyReportSavesTheZeroSnapshotWithoutSlowData) {
    cacheAccount();
    SlowData stale{7, "old", std::nullopt, std::nullopt, now - 7h};
    SlowData::save(defaults, stale);
    const auto before = defaults.data(kSlowDataKey);
    for (const char* report :
         {R"({"headers":[{"name":"DATE"},{"name":"ESTIMATED_EARNINGS","currencyCode":"JPY"}]})",
          R"({"rows":[{"cells":[{"value":"2026-05-21"}]}]})",
          R"({"headers":[{"name":"ESTIMATED_EARNINGS","currencyCode":"JPY"}],
              "rows":[{"cells":[{"value":"2026-05-21"}]}]})"}) {
        resetHttp();
        answers[Call::dailyReport] = HttpResponse{200, report};
        auto snapshot = refreshSnapshot(services());
        ASSERT_TRUE(snapshot) << report;
        AmbrelSnapshot zero;
        zero.currency = std::string(report).find("JPY") != std::string::npos ? "JPY" : "EUR";
        zero.updatedAt = now;
        zero.timeZone = kDefaultZone;
        EXPECT_EQ(*snapshot, zero) << report;
        EXPECT_EQ(calls(), (std::vector<Call>{Call::token, Call::dailyReport, Call::lastYearReport,
                                              Call::payments}))
            << report;
        EXPECT_EQ(AmbrelSnapshot::load(defaults), zero);
        EXPECT_EQ(defaults.data(kSlowDataKey), before);
    }
}

// What each failing step leaves in the three entries, from empty caches and from full ones, and
// which error is reported when the requests sent together fail at once: the first in the order
// daily report, last year, payments.
TEST_F(SnapshotRefresh, FailuresLeaveTheCachesAsTheOutcomeTableSays) {
    struct Case {
        const char* name;
        Call failing;
        bool seeded;  // account cached, slow data stale, an older snapshot stored
        bool accountWritten;
        std::vector<Call> alsoFailing = {};
    };
    const Case cases[] = {
        {"token, empty", Call::token, false, false},
        {"token, seeded", Call::token, true, false},
        {"accounts, empty", Call::accounts, false, false},
        {"daily report, empty", Call::dailyReport, false, true},
        {"daily report, seeded", Call::dailyReport, true, false, {Call::payments}},
        {"last year, seeded", Call::lastYearReport, true, false, {Call::payments}},
        {"payments, seeded", Call::payments, true, false},
        {"payments, empty", Call::payments, false, true},
    };
    const auto base = answers;
    for (const Case& c : cases) {
        clearEarningsCache(defaults);
        if (c.seeded) {
            cacheAccount();
            SlowData::save(defaults, SlowData{7, "old", std::nullopt, std::nullopt, now - 7h});
            AmbrelSnapshot old;
            old.currency = "USD";
            old.today = 99;
            AmbrelSnapshot::save(defaults, old);
        }
        const Entries before = entries();
        resetHttp();
        answers = base;
        answers[c.failing] =
            c.failing == Call::token
                ? FakeHttpClient::Reply(HttpResponse{400, R"({"error":"invalid_client"})"})
                : FakeHttpClient::Reply(HttpResponse{500, "boom"});
        for (Call other : c.alsoFailing) answers[other] = HttpResponse{503, "later"};

        auto snapshot = refreshSnapshot(services());
        ASSERT_FALSE(snapshot) << c.name;
        EXPECT_EQ(errorMessage(snapshot.error()), c.failing == Call::token
                                                      ? "Authentication error: invalid_client"
                                                      : "AdSense error (500): boom")
            << c.name;
        EXPECT_TRUE(made(c.failing)) << c.name;
        Entries expected = before;
        if (c.accountWritten) {
            expected.account = kAccount;
            expected.zone = kDefaultZone;
        }
        EXPECT_EQ(entries(), expected) << c.name;
    }
}

// Cells that each read as numbers but whose figures overflow: a malformed report, so the refresh
// fails with a decoding error before anything is stored (storing would remove the cache).
TEST_F(SnapshotRefresh, FiguresBeyondADoubleFailTheRefreshAndKeepEveryCache) {
    auto dailyWith = [](std::vector<std::pair<int, int>> cells, const char* value) {
        json report = json::parse(dailyReport(sys_days{2026y / May / 21}, 35));
        for (auto [row, cell] : cells) report["rows"][row]["cells"][cell]["value"] = value;
        return report.dump();
    };
    struct Case {
        const char* name;
        Call call;
        std::string answer;
        const char* named;
    };
    const Case cases[] = {
        {"two days of one week", Call::dailyReport, dailyWith({{33, 1}, {30, 1}}, "1e308"),
         "7 days before 2026-05-21"},
        {"CTR made percent", Call::dailyReport, dailyWith({{10, 7}}, "1e307"),
         "PAGE_VIEWS_CTR of 2026-04-27"},
        // 25 April and 1 May: in the trend chart, but neither in one week nor in one month.
        {"two days of the chart", Call::dailyReport, dailyWith({{8, 1}, {14, 1}}, "1e308"),
         "average of ESTIMATED_EARNINGS over the last 30 days"},
        // Yesterday's 1e308 is a seventh of each of the 11 days left in May.
        {"one day projected over the month", Call::dailyReport, dailyWith({{33, 1}}, "1e308"),
         "projected to the end of 2026-05"},
        {"last year's rows", Call::lastYearReport,
         R"({"rows":[{"cells":[{"value":"1e308"}]},{"cells":[{"value":"1e308"}]}]})",
         "last year's report"},
    };
    const auto base = answers;
    for (const Case& c : cases) {
        cacheAccount();
        SlowData::save(defaults, SlowData{7, "old", std::nullopt, std::nullopt, now - 7h});
        AmbrelSnapshot old;
        old.today = 99;
        AmbrelSnapshot::save(defaults, old);
        const Entries before = entries();
        answers = base;
        answers[c.call] = HttpResponse{200, c.answer};
        resetHttp();

        auto snapshot = refreshSnapshot(services());
        ASSERT_FALSE(snapshot) << c.name;
        ASSERT_TRUE(std::holds_alternative<DecodingError>(snapshot.error())) << c.name;
        EXPECT_NE(errorMessage(snapshot.error()).find(c.named), std::string::npos)
            << c.name << ": " << errorMessage(snapshot.error());
        EXPECT_TRUE(made(c.call)) << c.name;
        EXPECT_EQ(entries(), before) << c.name;
    }
}

// Google leaves a day without events out of the report: before today's first row, today reads
// 0 and every figure still counts from today, last year's month included, asked for once.
TEST_F(SnapshotRefresh, NoRowYetForTodayReadsZeroAndKeepsTodayAsTheReferenceDay) {
    cacheAccount();
    answers[Call::dailyReport] = HttpResponse{200, dailyReport(sys_days{2026y / May / 20}, 34)};
    auto snapshot = refreshSnapshot(services());
    ASSERT_TRUE(snapshot) << errorMessage(snapshot.error());
    EXPECT_EQ(calls(), (std::vector<Call>{Call::token, Call::dailyReport, Call::lastYearReport,
                                          Call::payments}));
    EXPECT_TRUE(http->requests()[2].url.ends_with("&endDate.month=5&endDate.day=21"))
        << http->requests()[2].url;
    EXPECT_EQ(snapshot->today, 0);
    EXPECT_EQ(snapshot->yesterday, 34);
    EXPECT_EQ(snapshot->monthToDate, (15 + 34) * 20 / 2);  // 1..20 May are days 15..34
    ASSERT_EQ(snapshot->dailyEarnings.size(), 35u);
    EXPECT_EQ(snapshot->dailyEarnings.back(), (DailyEarning{"2026-05-21", 0}));
}

// The account's zone, from the accounts list, decides the report's days; the desktop's zone,
// on the other side of UTC, changes no request and no figure. At 16:00 UTC on 21 May it is
// already 22 May in Tokyo and still 21 May in Los Angeles (an account without a zone).
TEST_F(SnapshotRefresh, TheAccountsZoneDecidesTheDaysNotTheDesktops) {
    const struct {
        const char* accounts;
        const char* desktop;
        const char* zone;
        year_month_day today;
    } cases[] = {
        {R"({"accounts":[{"name":"accounts/pub-1","timeZone":{"id":"Asia/Tokyo"}}]})",
         "America/New_York", "Asia/Tokyo", 2026y / May / 22},
        {R"({"accounts":[{"name":"accounts/pub-1","timeZone":{"id":"America/Los_Angeles"}}]})",
         "Asia/Tokyo", "America/Los_Angeles", 2026y / May / 21},
        {R"({"accounts":[{"name":"accounts/pub-1"}]})", "Pacific/Auckland", kDefaultZone,
         2026y / May / 21},
    };
    now = sys_days{2026y / May / 21} + 16h;
    for (const auto& c : cases) {
        testing::ScopedEnv env;
        env.set("TZ", c.desktop);
        clearEarningsCache(defaults);
        answers[Call::accounts] = HttpResponse{200, c.accounts};
        answers[Call::dailyReport] = HttpResponse{200, dailyReport(sys_days{c.today}, 35)};
        resetHttp();
        auto snapshot = refreshSnapshot(services());
        ASSERT_TRUE(snapshot) << c.zone;
        EXPECT_EQ(http->requests()[2].url, std::string(kBase) +
                                               "/accounts/pub-1/reports:generate?" +
                                               encodeQuery(dailyReportQuery(c.today)))
            << c.zone;
        EXPECT_EQ(snapshot->today, 35) << c.zone;
        EXPECT_EQ(snapshot->timeZone, c.zone);
        EXPECT_EQ(defaults.data(kAccountTimeZoneKey), c.zone);
        EXPECT_EQ(defaults.data(kAccountKey), kAccount);  // its format unchanged
    }
}

// An account cached before zones were kept: one accounts request more, once, which keeps the
// cached account (not the first listed) and stores its zone.
TEST_F(SnapshotRefresh, CachedAccountWithoutAZoneCostsOneRequestOnce) {
    saveAccountId(defaults, kAccount);
    SlowData::save(defaults, SlowData{7, std::nullopt, std::nullopt, std::nullopt, now});
    answers[Call::accounts] = HttpResponse{200, R"({"accounts":[
        {"name":"accounts/pub-9","timeZone":{"id":"Europe/Paris"}},
        {"name":"accounts/pub-1","timeZone":{"id":"Asia/Tokyo"}}]})"};
    resetHttp();
    ASSERT_TRUE(refreshSnapshot(services()));
    EXPECT_EQ(calls(), (std::vector<Call>{Call::token, Call::accounts, Call::dailyReport}));
    EXPECT_EQ(defaults.data(kAccountKey), kAccount);
    EXPECT_EQ(defaults.data(kAccountTimeZoneKey), "Asia/Tokyo");

    resetHttp();
    ASSERT_TRUE(refreshSnapshot(services()));
    EXPECT_EQ(calls(), (std::vector<Call>{Call::token, Call::dailyReport}));
}

// A cached account that is no longer the caller's (403 without a reason, 404) is forgotten and
// chosen again at the next refresh; an account chosen just now is kept, so a refusal that
// lasts never turns into a loop. A disabled API is the project's, not the account's.
TEST_F(SnapshotRefresh, RefusedCachedAccountIsChosenAgainAtTheNextRefresh) {
    const std::string notYours =
        R"({"error":{"code":403,"message":"The caller does not have permission","status":"PERMISSION_DENIED"}})";
    const std::string disabled = R"({"error":{"code":403,"message":"disabled","status":
        "PERMISSION_DENIED","details":[{"@type":"type.googleapis.com/google.rpc.ErrorInfo",
        "reason":"SERVICE_DISABLED"}]}})";
    const struct {
        long status;
        std::string body;
        bool forgotten;
    } cases[] = {{403, notYours, true},
                 {404, R"({"error":{"code":404}})", true},
                 {403, disabled, false},
                 {500, "boom", false}};
    const auto base = answers;
    for (const auto& c : cases) {
        clearEarningsCache(defaults);
        cacheAccount("Asia/Tokyo");
        answers = base;
        answers[Call::dailyReport] = HttpResponse{c.status, c.body};
        resetHttp();
        ASSERT_FALSE(refreshSnapshot(services())) << c.body;
        EXPECT_EQ(calls(), (std::vector<Call>{Call::token, Call::dailyReport, Call::lastYearReport,
                                              Call::payments}))
            << c.body;
        EXPECT_EQ(loadAccountId(defaults).has_value(), !c.forgotten) << c.body;
        EXPECT_EQ(defaults.data(kAccountTimeZoneKey).has_value(), !c.forgotten) << c.body;
    }

    // Chosen again from the list, and refused again: kept this time, and no request more.
    forgetAccount(defaults);
    answers[Call::dailyReport] = HttpResponse{403, notYours};
    resetHttp();
    ASSERT_FALSE(refreshSnapshot(services()));
    EXPECT_EQ(calls(), (std::vector<Call>{Call::token, Call::accounts, Call::dailyReport,
                                          Call::lastYearReport, Call::payments}));
    EXPECT_EQ(loadAccountId(defaults), kAccount);
}

// The application's kept token: one request per steady refresh until 60 s before the token's
// end; a kept token the API refuses is dropped and the refresh made again with a new one, while
// a refusal of a token fetched just now is reported as it is. A new sign-in gets a new token.
TEST_F(SnapshotRefresh, KeptTokenSavesTheTokenRequestUntilItEndsOrIsRefused) {
    AccessTokenKeeper tokens;
    ASSERT_TRUE(refreshSnapshot(services(), &tokens));
    auto refreshed = [&](std::vector<Call> expected, const char* what) {
        resetHttp();
        auto snapshot = refreshSnapshot(services(), &tokens);
        EXPECT_EQ(calls(), expected) << what;
        return snapshot.has_value() ? std::string("ok") : errorMessage(snapshot.error());
    };
    now += 58min + 58s;  // the token answer said 3599 s
    EXPECT_EQ(refreshed({Call::dailyReport}, "kept"), "ok");
    for (const auto& request : http->requests())
        EXPECT_EQ(request.headers, (HttpHeaders{{"Authorization", "Bearer at-1"}}));
    now += 2s;
    EXPECT_EQ(refreshed({Call::token, Call::dailyReport}, "near its end"), "ok");

    resetHttp();
    http->reply(401, "expired");
    EXPECT_TRUE(refreshSnapshot(services(), &tokens));
    EXPECT_EQ(calls(), (std::vector<Call>{Call::dailyReport, Call::token, Call::dailyReport}));

    answers[Call::dailyReport] = HttpResponse{401, "revoked"};
    EXPECT_EQ(refreshed({Call::dailyReport, Call::token, Call::dailyReport}, "refused twice"),
              "AdSense error (401): revoked");
    EXPECT_EQ(refreshed({Call::token, Call::dailyReport}, "fresh token refused"),
              "AdSense error (401): revoked");

    secrets.put(refreshTokenItem(), "refresh-2");
    answers[Call::dailyReport] = HttpResponse{200, dailyReport(sys_days{2026y / May / 21}, 35)};
    EXPECT_EQ(refreshed({Call::token, Call::dailyReport}, "another sign-in"), "ok");
    EXPECT_EQ(http->requests()[0].body.find("refresh-2") != std::string::npos, true);
}

}  // namespace
}  // namespace ambrel
