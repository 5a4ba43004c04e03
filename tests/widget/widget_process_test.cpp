// ambrel-widget run as the desktop host runs it: a child process with its own XDG folders,
// talking to the fake Google server and reading the session's real secret store. Needs
// scripts/with-test-session (a private D-Bus session with an unlocked keyring).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/auth/keychain.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/platform/json.h"
#include "core/platform/libsecret_secret_store.h"
#include "core/platform/secret_store.h"
#include "fakes/fake_google.h"
#include "support/temp_dir.h"

extern char** environ;

namespace ambrel {
namespace {

namespace fs = std::filesystem;
using fakes::FakeDay;
using fakes::FakeGoogle;
using fakes::FakePayment;
using json::Json;
using testing::TempDir;

constexpr const char* kRefreshToken = "1//widget-process-refresh";
constexpr auto kHangLimit = std::chrono::seconds(60);
constexpr const char* kAccount = "accounts/pub-4242";
const Objectives kGoals{25, 600};

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class SpawnActions {
  public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    void redirect(int fd, const fs::path& file) {
        posix_spawn_file_actions_addopen(&actions_, fd, file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

// Runs the test build of the program with exactly these arguments and environment; its output
// goes through files so neither stream can fill up and stall it.
ProcessResult runWidget(std::vector<std::string> args, std::vector<std::string> environment) {
    TempDir outputs;
    SpawnActions actions;
    actions.redirect(STDOUT_FILENO, outputs.path() / "out");
    actions.redirect(STDERR_FILENO, outputs.path() / "err");

    args.insert(args.begin(), AMBREL_WIDGET_TESTBASE);
    std::vector<char*> argv, envp;
    for (std::string& arg : args) argv.push_back(arg.data());
    for (std::string& entry : environment) envp.push_back(entry.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, AMBREL_WIDGET_TESTBASE, actions.get(), nullptr, argv.data(), envp.data());
    if (spawned != 0) return {-1, "", std::string("posix_spawn: ") + std::strerror(spawned)};
    // A run far beyond the usual second is a hang: it is ended and reported, not waited out.
    const auto deadline = std::chrono::steady_clock::now() + kHangLimit;
    int status = 0;
    for (pid_t done = 0; done != pid;) {
        done = waitpid(pid, &status, WNOHANG);
        if (done < 0 && errno != EINTR)
            return {-1, "", std::string("waitpid: ") + std::strerror(errno)};
        if (done == 0 && std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return {-1, readFile(outputs.path() / "out"), "still running after the hang limit"};
        }
        if (done == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return {exitCode, readFile(outputs.path() / "out"), readFile(outputs.path() / "err")};
}

// The test's own environment (session bus, HOME) with the given variables replaced.
std::vector<std::string> environmentWith(
    const std::vector<std::pair<std::string, std::string>>& set) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const auto& [key, value] : set) replaced = replaced || key == name;
        if (!replaced) result.push_back(text);
    }
    for (const auto& [key, value] : set) result.push_back(key + "=" + value);
    return result;
}

// What the fake saw, one word per request. The requests that go out together once the account is
// known arrive in any order: from the third on, they are sorted.
std::vector<std::string> endpointsSeen(const FakeGoogle& fake) {
    std::vector<std::string> seen;
    for (const auto& request : fake.requests()) {
        const std::string& path = request.path;
        if (path == "/token")
            seen.push_back("token");
        else if (path.ends_with("/accounts"))
            seen.push_back("accounts");
        else if (path.ends_with("/reports:generate"))
            seen.push_back("report");
        else if (path.ends_with("/payments"))
            seen.push_back("payments");
        else
            seen.push_back(path);
    }
    if (seen.size() > 2) std::sort(seen.begin() + 2, seen.end());
    return seen;
}

Json withoutUpdatedAt(Json snapshot) {
    snapshot.erase("updatedAt");
    return snapshot;
}

class WidgetProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("AMBREL_TEST_SESSION") == nullptr)
            GTEST_SKIP() << "needs a private keyring: run under scripts/with-test-session";
        // Without a Secret Service each process would fall back to a file store under its own
        // XDG_DATA_HOME, and the child would never see the token stored here.
        ASSERT_TRUE(LibsecretSecretStore::serviceAnswers()) << "no Secret Service in the session";

        fake.emplace(AMBREL_WIDGET_TEST_PORT, fakes::Scheme::https);
        fake->setClient("widget-test.apps", "widget-test-secret");
        fake->setRefreshToken(kRefreshToken);
        fake->setAccessToken("ya29.widget-test");
        // Days end in Tokyo while the program's own zone is Los Angeles (environment()): every
        // figure must follow the account's calendar, at any hour the test runs.
        fake->setAccounts({{kAccount, "Test publisher", "Asia/Tokyo"}});
        today = fake->accountToday();
        fake->setCurrency("EUR");
        fake->setDays(days());
        fake->setPayments(
            {{.name = std::string(kAccount) + "/payments/unpaid", .amount = "€1,234.56"},
             {.name = std::string(kAccount) + "/payments/20260521",
              .year = 2026,
              .month = 5,
              .day = 21,
              .amount = "€341.95"}});

        fs::create_directories(config.path() / "ambrel");
        std::ofstream(config.path() / "ambrel" / "client_secret.json") << fake->clientSecretJson();

        secrets = makeSystemSecretStore();
        ASSERT_TRUE(keychain::save(*secrets, refreshTokenItem(), kRefreshToken).has_value());
        Objectives::save(*secrets, kGoals);
        ASSERT_EQ(Objectives::load(*secrets), kGoals);
    }

    void TearDown() override {
        if (!secrets) return;
        keychain::deleteItem(*secrets, refreshTokenItem());
        keychain::deleteItem(*secrets, objectivesItem());
    }

    // The account's today with known figures, the 14 days before it, and day 1 of this month a
    // year ago for the last-year comparison.
    std::vector<FakeDay> days() const {
        std::vector<FakeDay> result;
        result.push_back({.date = ambrel::dateKey(today), .earnings = 4.25, .pageViews = 500});
        result.push_back({.date = ambrel::dateKey(today - std::chrono::days(1)),
                          .earnings = 7.5,
                          .pageViews = 1000,
                          .rpm = 7.5,
                          .impressions = 3000,
                          .clicks = 20,
                          .cpc = 0.375,
                          .ctr = 0.02});
        result.push_back({.date = ambrel::dateKey(today - std::chrono::days(8)),
                          .earnings = 6,
                          .pageViews = 900,
                          .rpm = 6.5,
                          .impressions = 2800,
                          .clicks = 18,
                          .cpc = 0.25,
                          .ctr = 0.018});
        for (int back = 2; back <= 7; ++back)
            result.push_back(
                {.date = ambrel::dateKey(today - std::chrono::days(back)), .earnings = 1});
        for (int back = 9; back <= 14; ++back)
            result.push_back(
                {.date = ambrel::dateKey(today - std::chrono::days(back)), .earnings = 2});
        const std::chrono::year_month_day date(today);
        const std::chrono::sys_days lastYear =
            (date.year() - std::chrono::years(1)) / date.month() / std::chrono::day(1);
        result.push_back({.date = ambrel::dateKey(lastYear), .earnings = 42});
        return result;
    }

    double expectedMonthToDate() const {
        const std::string month = ambrel::dateKey(today).substr(0, 7);
        double sum = 0;
        for (const FakeDay& day : days())
            if (day.date.starts_with(month)) sum += day.earnings;
        return sum;
    }

    std::vector<std::string> environment(const TempDir& cache, const std::string& language) const {
        return environmentWith({{"XDG_CONFIG_HOME", config.path().string()},
                                {"XDG_DATA_HOME", data.path().string()},
                                {"XDG_CACHE_HOME", cache.path().string()},
                                {"LANGUAGE", language},
                                {"TZ", "America/Los_Angeles"}});
    }

    // Runs `timeline --json` and returns its one line of JSON.
    Json timeline(const TempDir& cache, const std::string& language) {
        ProcessResult result = runWidget({"timeline", "--json"}, environment(cache, language));
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(result.out.ends_with('\n')) << result.out;
        EXPECT_EQ(result.out.find('\n'), result.out.size() - 1) << result.out;
        auto object = json::parseObject(result.out, "ambrel-widget output");
        EXPECT_TRUE(object.has_value()) << result.out << result.err;
        return object.value_or(Json::object());
    }

    static fs::path widgetCache(const TempDir& cache) {
        return cache.path() / "ambrel" / "com.corvane.ambrel.widget";
    }

    std::chrono::sys_days today;  // the account's, set with the fake's accounts
    TempDir config, data, cache;
    std::optional<FakeGoogle> fake;
    std::unique_ptr<SecretStore> secrets;
};

// First run lists the account and fetches everything; the second reuses the cached account and
// slow data; with the token refused the program still succeeds and shows the cached snapshot,
// says the sign-in must be renewed, and sends the refused token no more.
TEST_F(WidgetProcessTest, TimelineRefreshesCachesAndFallsBack) {
    const Json first = timeline(cache, "en_US");

    EXPECT_EQ(first["isConnected"], true);
    EXPECT_EQ(first["objectives"], (Json{{"daily", 25.0}, {"monthly", 600.0}}));
    EXPECT_NEAR(first["reloadDate"].get<double>() - first["date"].get<double>(), 1800, 1);
    const Json& figures = first["snapshot"];
    EXPECT_DOUBLE_EQ(figures["today"], 4.25);
    EXPECT_DOUBLE_EQ(figures["yesterday"], 7.5);
    EXPECT_DOUBLE_EQ(figures["yesterdayPrevWeek"], 6);
    EXPECT_DOUBLE_EQ(figures["last7"], 13.5);
    EXPECT_DOUBLE_EQ(figures["prev7"], 18);
    EXPECT_DOUBLE_EQ(figures["monthToDate"], expectedMonthToDate());
    EXPECT_DOUBLE_EQ(figures["monthLastYear"], 42);
    EXPECT_DOUBLE_EQ(figures["perfYesterday"]["pageViews"], 1000);
    EXPECT_DOUBLE_EQ(figures["perfYesterday"]["ctr"], 2);
    EXPECT_DOUBLE_EQ(figures["perfPrevWeek"]["clicks"], 18);
    EXPECT_EQ(figures["currency"], "EUR");
    EXPECT_EQ(figures["balance"], "€1,234.56");
    EXPECT_EQ(figures["lastPaymentAmount"], "€341.95");
    EXPECT_EQ(figures["lastPaymentDateLabel"], "May 21, 2026");
    // The report's 35 days up to today, a day without a row (15 days back and beyond) as 0.
    const Json& series = figures["dailyEarnings"];
    ASSERT_EQ(series.size(), 35u);
    const auto day = [&](int back, double earnings) {
        return Json{{"date", ambrel::dateKey(today - std::chrono::days(back))},
                    {"earnings", earnings}};
    };
    EXPECT_EQ(series[0], day(34, 0));
    EXPECT_EQ(series[19], day(15, 0));
    EXPECT_EQ(series[20], day(14, 2));
    EXPECT_EQ(series[33], day(1, 7.5));
    EXPECT_EQ(series[34], day(0, 4.25));
    EXPECT_EQ(endpointsSeen(*fake),
              (std::vector<std::string>{"token", "accounts", "payments", "report", "report"}));

    const fs::path stored = widgetCache(cache);
    EXPECT_EQ(readFile(stored / "adsense.account"), kAccount);
    EXPECT_EQ(readFile(stored / "adsense.timeZone"), "Asia/Tokyo");
    EXPECT_EQ(figures["timeZone"], "Asia/Tokyo");
    EXPECT_EQ(Json::parse(readFile(stored / "earnings.snapshot")), figures);
    auto slowData = decodeSlowData(readFile(stored / "earnings.slowData"));
    ASSERT_TRUE(slowData.has_value());
    EXPECT_DOUBLE_EQ(slowData->monthLastYear, 42);

    fake->clearRequests();
    const Json second = timeline(cache, "en_US");
    EXPECT_EQ(endpointsSeen(*fake), (std::vector<std::string>{"token", "report"}));
    EXPECT_EQ(withoutUpdatedAt(second["snapshot"]), withoutUpdatedAt(figures));

    fake->clearRequests();
    fake->refuseToken("invalid_grant", "Token has been expired or revoked.");
    const Json refused = timeline(cache, "en_US");
    EXPECT_EQ(endpointsSeen(*fake), (std::vector<std::string>{"token"}));
    EXPECT_EQ(refused["isConnected"], true);
    EXPECT_EQ(refused["needsSignIn"], true);
    EXPECT_EQ(second["needsSignIn"], false);
    EXPECT_EQ(refused["snapshot"], second["snapshot"]);
    EXPECT_EQ(Json::parse(readFile(stored / "earnings.snapshot")), second["snapshot"]);

    fake->clearRequests();
    EXPECT_EQ(timeline(cache, "en_US")["needsSignIn"], true);
    EXPECT_TRUE(fake->requests().empty());
    // A new sign-in's token is tried at once.
    ASSERT_TRUE(keychain::save(*secrets, refreshTokenItem(), "1//signed-in-again").has_value());
    timeline(cache, "en_US");
    EXPECT_EQ(endpointsSeen(*fake), (std::vector<std::string>{"token"}));
}

// Two days that each read but add up past a double: the refresh fails as a malformed report, the
// entry falls back to the cached figures and every cache file keeps its bytes.
TEST_F(WidgetProcessTest, FiguresBeyondADoubleKeepTheCacheByteForByte) {
    const Json first = timeline(cache, "en_US");
    const fs::path stored = widgetCache(cache);
    std::map<std::string, std::string> before;
    for (const char* key : {"earnings.snapshot", "earnings.slowData", "adsense.account"})
        before[key] = readFile(stored / key);

    auto absurd = days();
    for (FakeDay& day : absurd)
        if (day.date == ambrel::dateKey(today - std::chrono::days(2)) ||
            day.date == ambrel::dateKey(today - std::chrono::days(3)))
            day.earnings = 1e308;
    fake->setDays(absurd);
    fake->clearRequests();
    const Json entry = timeline(cache, "en_US");

    EXPECT_EQ(endpointsSeen(*fake), (std::vector<std::string>{"token", "report"}));
    EXPECT_EQ(entry["isConnected"], true);
    EXPECT_EQ(entry["snapshot"], first["snapshot"]);
    for (const auto& [key, bytes] : before) EXPECT_EQ(readFile(stored / key), bytes) << key;
}

// Freshly fetched amounts and dates follow the display language.
TEST_F(WidgetProcessTest, DisplayLanguageShapesPaymentTexts) {
    const Json french = timeline(cache, "fr_FR");

    const std::string balance = french["snapshot"].value("balance", "");
    EXPECT_NE(balance.find("234,56"), std::string::npos) << balance;
    EXPECT_NE(balance.find("€"), std::string::npos) << balance;
    EXPECT_NE(balance, "€1,234.56");
    EXPECT_EQ(french["snapshot"]["lastPaymentDateLabel"], "21 mai 2026");
}

// Signed out in the application: no request at all, shown as disconnected.
TEST_F(WidgetProcessTest, TimelineWithoutTokenMakesNoRequest) {
    ASSERT_EQ(keychain::deleteItem(*secrets, refreshTokenItem()), errSecSuccess);

    const Json entry = timeline(cache, "en_US");

    EXPECT_EQ(entry["isConnected"], false);
    EXPECT_EQ(entry["snapshot"]["balance"], "389,85 €");  // the sample
    EXPECT_TRUE(fake->requests().empty());
    EXPECT_FALSE(fs::exists(widgetCache(cache) / "earnings.snapshot"));
}

// A FIFO at a cache key (planted, or left by some tool) reads as no value instead of blocking
// the refresh until a writer comes; the refresh then stores real values in its place.
TEST_F(WidgetProcessTest, FifosAtCacheKeysDoNotHangTheTimeline) {
    const fs::path stored = widgetCache(cache);
    fs::create_directories(stored);
    const char* keys[] = {"earnings.snapshot", "earnings.slowData", "adsense.account"};
    for (const char* key : keys) ASSERT_EQ(::mkfifo((stored / key).c_str(), 0600), 0) << key;

    const Json entry = timeline(cache, "en_US");

    ASSERT_TRUE(entry.contains("snapshot")) << entry.dump();
    EXPECT_EQ(entry["isConnected"], true);
    EXPECT_DOUBLE_EQ(entry["snapshot"]["today"], 4.25);
    for (const char* key : keys) EXPECT_TRUE(fs::is_regular_file(stored / key)) << key;
}

// `status` with no cache refreshes as `timeline --json` does; the next run reads the fresh cache
// without a request.
TEST_F(WidgetProcessTest, StatusRefreshesAMissingCacheThenReadsIt) {
    const ProcessResult first =
        runWidget({"status", "--format", "json"}, environment(cache, "en_US"));
    EXPECT_EQ(first.exitCode, 0) << first.err;
    const auto entry = json::parseObject(first.out, "status output");
    ASSERT_TRUE(entry.has_value()) << first.out;
    EXPECT_DOUBLE_EQ((*entry)["snapshot"]["today"], 4.25);
    EXPECT_EQ(Json::parse(readFile(widgetCache(cache) / "earnings.snapshot")),
              (*entry)["snapshot"]);

    fake->clearRequests();
    const ProcessResult second = runWidget({"status"}, environment(cache, "en_US"));
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, "€4.25 · 17%\n");
    EXPECT_TRUE(fake->requests().empty());
}

// Signed in, with Google out of reach and nothing cached, the status line has no figures to
// show: it says so, and never prints the built-in sample's.
TEST_F(WidgetProcessTest, StatusOfflineWithNothingCachedPrintsNoFigures) {
    fake.reset();
    const ProcessResult offline = runWidget({"status"}, environment(cache, "en_US"));
    EXPECT_EQ(offline.exitCode, 0) << offline.err;
    EXPECT_EQ(offline.out, "Ambrel: no figures yet\n");
}

// Anything but a known command prints the usage on stderr and exits with 2, before touching
// any store or the network.
TEST(WidgetProgram, UnknownArgumentsPrintUsage) {
    const std::vector<std::vector<std::string>> invocations = {{"timeline"},
                                                               {"timeline", "--xml"},
                                                               {"--json", "timeline"},
                                                               {"refresh", "--json"},
                                                               {"show", "--family", "tiny"},
                                                               {"render", "--family", "small"},
                                                               {"indicator", "--family", "small"},
                                                               {"status", "--format", "xml"},
                                                               {"status", "--max-age", "-5"}};
    for (const auto& args : invocations) {
        ProcessResult result = runWidget(args, environmentWith({}));
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.out.empty()) << result.out;
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << result.err;
    }
    // Asked for, the usage goes to stdout and lists every command.
    const ProcessResult help = runWidget({"--help"}, environmentWith({}));
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"status", "indicator", "show [--indicator]", "render"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
}

}  // namespace
}  // namespace ambrel
