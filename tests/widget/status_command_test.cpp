// The status line: what each format prints for a known entry, and when `status` refreshes
// before printing. A bar runs it every few seconds, so a stale cache must cost one refresh per
// spacing, not one per run.

#include "widget/status_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/auth/keychain.h"
#include "core/platform/json.h"
#include "support/fake_http_client.h"
#include "support/memory_secret_store.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "widget/entry_json.h"
#include "widget/status_refresh.h"

namespace ambrel::widget {
namespace {

using std::chrono::seconds;

EarningsEntry knownEntry(bool connected) {
    AmbrelSnapshot figures;
    figures.today = 9.21;
    figures.yesterday = 11.49;
    figures.yesterdayPrevWeek = 16.36;
    figures.monthToDate = 217.81;
    figures.balance = "€389.85";
    figures.currency = "EUR";
    figures.updatedAt = instantFromReferenceSeconds(800'000'000);
    return {.date = figures.updatedAt,
            .snapshot = figures,
            .objectives = {10, 300},
            .isConnected = connected};
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the output ends with a newline";
    return lines;
}

class StatusTest : public ::testing::Test {
  protected:
    testing::ScopedEnv env;
    void SetUp() override { env.set("LANGUAGE", "en_US").set("LC_ALL", "C.UTF-8"); }
};

// Every format says the figures the same way: today against the daily goal, yesterday falling
// against a week before, and signed out a text that needs no figures.
TEST_F(StatusTest, EveryFormatSaysTheSameFigures) {
    const EarningsEntry entry = knownEntry(true);
    EXPECT_EQ(statusOutput(entry, StatusFormat::text), "€9.21 · 92%\n");
    EXPECT_EQ(linesOf(*statusOutput(entry, StatusFormat::i3blocks)),
              (std::vector<std::string>{"€9.21 · 92%", "€9.21", "#FF3B30"}));
    EXPECT_EQ(statusOutput(entry, StatusFormat::json),
              json::dump(*entryJson(entry), "entry").value() + "\n");

    const auto waybar = json::parseObject(*statusOutput(entry, StatusFormat::waybar), "waybar");
    ASSERT_TRUE(waybar.has_value());
    EXPECT_EQ((*waybar)["text"], "€9.21 · 92%");
    EXPECT_EQ((*waybar)["class"], "down");
    EXPECT_EQ((*waybar)["percentage"], 92);
    const auto tooltip = linesOf((*waybar)["tooltip"].get<std::string>() + "\n");
    ASSERT_EQ(tooltip.size(), 6u);
    EXPECT_EQ(tooltip[0], "AdSense earnings");
    EXPECT_EQ(tooltip[1], "Today: €9.21 (92% of the daily objective)");
    EXPECT_EQ(tooltip[2], "Yesterday: €11.49");
    EXPECT_EQ(tooltip[3], "This month: €217.81 (73% of the monthly objective)");
    EXPECT_EQ(tooltip[4], "Balance: €389.85");
    EXPECT_TRUE(tooltip[5].starts_with("Updated at ")) << tooltip[5];

    // Beyond the goal the bar's percentage stays at 100; an unchanged yesterday counts as up.
    EarningsEntry ahead = entry;
    ahead.snapshot.today = 25;
    ahead.snapshot.yesterday = ahead.snapshot.yesterdayPrevWeek;
    const auto aheadBar = json::parseObject(*statusOutput(ahead, StatusFormat::waybar), "waybar");
    EXPECT_EQ((*aheadBar)["percentage"], 100);
    EXPECT_EQ((*aheadBar)["class"], "up");
    EXPECT_EQ(linesOf(*statusOutput(ahead, StatusFormat::i3blocks)).back(), "#34C759");

    const EarningsEntry signedOut = knownEntry(false);
    EXPECT_EQ(statusOutput(signedOut, StatusFormat::text), "Ambrel: not connected\n");
    EXPECT_EQ(linesOf(*statusOutput(signedOut, StatusFormat::i3blocks)),
              (std::vector<std::string>{"Ambrel: not connected", "Ambrel: not connected"}));
    const auto away = json::parseObject(*statusOutput(signedOut, StatusFormat::waybar), "waybar");
    EXPECT_EQ((*away)["class"], "disconnected");
    EXPECT_EQ((*away)["percentage"], 0);
    EXPECT_EQ((*away)["tooltip"],
              "AdSense earnings\nNot connected to Google.\nOpen Ambrel to sign in");
}

// Signed in, offline and with nothing cached, the entry holds the sample: no format prints its
// figures (the JSON leaves the snapshot out), and a bar shows the module as disconnected.
TEST_F(StatusTest, SampleFiguresAreNeverPrinted) {
    testing::TempDir folder;
    testing::FakeHttpClient http;
    http.setFallback([](const HttpRequest&) -> testing::FakeHttpClient::Reply {
        return std::unexpected(TransportError{"Could not resolve host"});
    });
    testing::MemorySecretStore secrets;
    secrets.put(refreshTokenItem(), "1//token");
    Defaults defaults(folder.path() / "cache");
    const Services services{.http = http,
                            .secrets = secrets,
                            .defaults = defaults,
                            .now = systemClock(),
                            .adsenseBase = "https://adsense.test/v2",
                            .clientSecretLocations = {folder.path() / "client_secret.json"}};
    std::ostringstream err;
    const EarningsEntry offline = statusEntry(services, seconds(1800), err);
    ASSERT_TRUE(offline.isSample);

    EXPECT_EQ(statusOutput(offline, StatusFormat::text), "Ambrel: no figures yet\n");
    EXPECT_EQ(linesOf(*statusOutput(offline, StatusFormat::i3blocks)),
              (std::vector<std::string>{"Ambrel: no figures yet", "Ambrel: no figures yet"}));
    const auto bar = json::parseObject(*statusOutput(offline, StatusFormat::waybar), "waybar");
    EXPECT_EQ((*bar)["class"], "disconnected");
    EXPECT_EQ((*bar)["percentage"], 0);
    const auto entry = json::parseObject(*statusOutput(offline, StatusFormat::json), "entry");
    EXPECT_FALSE(entry->contains("snapshot"));
    EXPECT_EQ((*entry)["isSample"], true);
    // Not a digit in any text: the sample's €9.21, 92% and 1970 update time are all left out.
    for (const std::string& said :
         {*statusOutput(offline, StatusFormat::text),
          *statusOutput(offline, StatusFormat::i3blocks), (*bar)["text"].get<std::string>(),
          (*bar)["tooltip"].get<std::string>()})
        EXPECT_EQ(said.find_first_of("0123456789"), std::string::npos) << said;
}

// Google ended the sign-in: the text asks to sign in again, the tooltip keeps the cached figures.
// Figures older than two refreshes keep their text, and say their age in the tooltip, with a
// "stale" class for waybar and a grey colour for i3blocks.
TEST_F(StatusTest, EndedSignInAndOldFiguresSayWhatIsWrong) {
    EarningsEntry ended = knownEntry(true);
    ended.needsSignIn = true;
    EXPECT_EQ(statusOutput(ended, StatusFormat::text), "Ambrel: sign in again\n");
    const auto bar = json::parseObject(*statusOutput(ended, StatusFormat::waybar), "waybar");
    EXPECT_EQ((*bar)["class"], "disconnected");
    const auto tooltip = linesOf((*bar)["tooltip"].get<std::string>() + "\n");
    ASSERT_EQ(tooltip.size(), 8u);
    EXPECT_EQ(tooltip[1], "Google ended the sign-in.");
    EXPECT_EQ(tooltip[2], "Open Ambrel to sign in again");
    EXPECT_EQ(tooltip[3], "Today: €9.21 (92% of the daily objective)");
    EXPECT_EQ(linesOf(*statusOutput(ended, StatusFormat::i3blocks)).size(), 2u);

    EarningsEntry old = knownEntry(true);
    old.date = old.snapshot.updatedAt + std::chrono::hours(3);
    EXPECT_EQ(statusOutput(old, StatusFormat::text), "€9.21 · 92%\n");
    const auto oldBar = json::parseObject(*statusOutput(old, StatusFormat::waybar), "waybar");
    EXPECT_EQ((*oldBar)["class"], (json::Json::array({"down", "stale"})));
    EXPECT_TRUE((*oldBar)["tooltip"].get<std::string>().ends_with(" · 3 hours ago"))
        << (*oldBar)["tooltip"];
    EXPECT_EQ(linesOf(*statusOutput(old, StatusFormat::i3blocks)).back(), "#8E8E93");
}

// A signed-in program, offline, with a cache a minute old: what the bar's runs of `status` cost.
class StatusRefreshTest : public StatusTest {
  protected:
    void SetUp() override {
        StatusTest::SetUp();
        http.setFallback([](const HttpRequest&) -> testing::FakeHttpClient::Reply {
            return std::unexpected(TransportError{"Could not resolve host"});
        });
        secrets.put(refreshTokenItem(), "1//token");
        std::ofstream(folder.path() / "client_secret.json")
            << R"({"installed": {"client_id": "id.apps", "client_secret": "shh",
             "auth_uri": "https://oauth.test/auth", "token_uri": "https://oauth.test/token"}})";
        AmbrelSnapshot::save(defaults, knownEntry(true).snapshot);
    }

    // The requests made so far, after one more run.
    std::size_t requestsAfter(seconds maxAge) {
        statusEntry(services, maxAge, err);
        return http.requests().size();
    }

    testing::TempDir folder;
    testing::FakeHttpClient http;
    testing::MemorySecretStore secrets;
    Defaults defaults{folder.path() / "cache"};
    Instant now = knownEntry(true).snapshot.updatedAt + seconds(60);
    const Services services{.http = http,
                            .secrets = secrets,
                            .defaults = defaults,
                            .now = [this] { return now; },
                            .adsenseBase = "https://adsense.test/v2",
                            .clientSecretLocations = {folder.path() / "client_secret.json"}};
    std::ostringstream err;
};

// Offline, with a bar asking every few seconds: a fresh cache is printed without network; a
// stale one costs one attempt, then none until the spacing has passed; a run that finds the
// lock taken by another run does not refresh either.
TEST_F(StatusRefreshTest, StaleCacheCostsOneRefreshAttemptPerSpacing) {
    EXPECT_EQ(requestsAfter(seconds(1800)), 0u);  // a minute old: fresh
    EXPECT_EQ(requestsAfter(seconds(30)), 1u);    // stale: the token request fails
    now += seconds(59);
    EXPECT_EQ(requestsAfter(seconds(30)), 1u);  // within the spacing of a minute
    now += seconds(1);
    EXPECT_EQ(requestsAfter(seconds(30)), 2u);

    now += seconds(3600);
    const int lock = ::open((defaults.folder() / kStatusLockName).c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(requestsAfter(seconds(1800)), 2u);  // another run is refreshing
    ::close(lock);
    EXPECT_EQ(requestsAfter(seconds(1800)), 3u);
    EXPECT_EQ(err.str(), "");  // a lock held by another run is no fault

    secrets.remove(refreshTokenItem());
    now += seconds(3600);
    EXPECT_EQ(requestsAfter(seconds(1800)), 3u);  // signed out: no request
    EXPECT_EQ(refreshAttemptSpacing(seconds(5)), seconds(60));
    EXPECT_EQ(refreshAttemptSpacing(seconds(86400)), seconds(1800));
}

// A recorded attempt before 2001 or after now, however far, holds no refresh off: the run
// refreshes and records its own attempt, so damage cannot stop the refreshes for good.
TEST_F(StatusRefreshTest, DamagedAttemptRecordHoldsNoRefreshOff) {
    const std::string nowSeconds = std::to_string(std::llround(secondsSinceReferenceDate(now)));
    std::size_t made = 0;
    for (const char* recorded :
         {"-9223372036854775808", "-1", "9223372036854775807", "99999999999"}) {
        ASSERT_TRUE(defaults.set(kStatusAttemptKey, recorded));
        EXPECT_EQ(requestsAfter(seconds(30)), ++made) << recorded;
        EXPECT_EQ(defaults.data(kStatusAttemptKey), nowSeconds) << recorded;
    }
}

// Anything but a file at the lock's place (left by hand, or by an attack) cannot be locked, so
// no run would ever refresh: each run that wanted to says so, naming the path.
TEST_F(StatusRefreshTest, UnusableLockIsSaidNamingItsPath) {
    const auto lockPath = defaults.folder() / kStatusLockName;
    const auto sayings = [&] {
        const std::string said = err.str();
        err.str("");
        return said;
    };

    std::filesystem::create_directory(lockPath);
    EXPECT_EQ(requestsAfter(seconds(30)), 0u);
    const std::string said = sayings();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(lockPath.string()), std::string::npos) << said;
    EXPECT_NE(said.find("directory"), std::string::npos) << said;

    std::filesystem::remove(lockPath);
    std::filesystem::create_symlink(folder.path() / "elsewhere", lockPath);
    EXPECT_EQ(requestsAfter(seconds(30)), 0u);
    EXPECT_NE(sayings().find("symbolic link"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "elsewhere"));

    std::filesystem::remove(lockPath);
    EXPECT_EQ(requestsAfter(seconds(30)), 1u);
    EXPECT_EQ(sayings(), "");
}

}  // namespace
}  // namespace ambrel::widget
